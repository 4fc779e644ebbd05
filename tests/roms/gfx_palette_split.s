; Palette writes in the middle of a frame show from the next frame, even
; when entry 0 is among them. Every cell is colour 1. In vertical blank the
; NMI makes colour 1 blue; once sprite 0 has hit (line 117) the main loop
; makes it red and writes the backdrop (entry 0) again, unchanged. The red
; is replaced by the blue before the next frame starts, so the whole picture
; is blue.
MIRRORING = 1
.include "gfx.inc"
.include "gfx_chr.inc"

.segment "ZEROPAGE"
frame:      .res 1

.segment "CODE"

reset:
  INIT_CONSOLE
  COPY_TO_PPU $3F00, palette, 32
  FILL_PPU $2000, 1, 0          ; 256 times from $2000, then three more pages
  ldy #3
: sta PPUDATA
  dex
  bne :-
  dey
  bne :-
  FILL_PPU $23C0, 0, 64
  COPY sprite0, 4, {OAM,x}
  START_RENDERING CTRL_NMI, MASK_BG, 0, 0

main:
  lda frame
: cmp frame
  beq :-
@wait_end_of_vblank:
  bit PPUSTATUS
  bvs @wait_end_of_vblank
@wait_hit:
  bit PPUSTATUS
  bvc @wait_hit
  FILL_PPU $3F01, $16, 1        ; red
  FILL_PPU $3F00, $0F, 1        ; the backdrop, as it was
  PPU_ADDR $0000
  jmp main

nmi:
  pha
  txa
  pha
  FILL_PPU $3F01, $12, 1        ; blue
  PPU_ADDR $0000
  inc frame
  pla
  tax
  pla
  rti

.segment "RODATA"

palette:
  .byte $0F, $12, $12, $12,  $0F, $12, $12, $12,  $0F, $12, $12, $12,  $0F, $12, $12, $12
  .byte $0F, $30, $30, $30,  $0F, $30, $30, $30,  $0F, $30, $30, $30,  $0F, $30, $30, $30

sprite0:
  .byte 111, 1, $00, 0

.segment "VECTORS"
  .word nmi, reset, ignore_interrupt

.segment "CHARS"
  TILE_SOLID 0
  TILE_SOLID 1
