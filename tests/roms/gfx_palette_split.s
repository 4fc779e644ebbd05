; Palette writes in the middle of a frame show from the next frame, even
; when entry 0 is among them. Every cell is colour 1. In vertical blank the
; NMI makes colour 1 blue; once sprite 0 has hit (line 117) the main loop
; makes it red and writes the backdrop (entry 0) again, unchanged. The red
; is replaced by the blue before the next frame starts, so the whole picture
; is blue.
MIRRORING = 1
OWN_VECTORS = 1
.include "gfx.inc"
.include "gfx_chr.inc"

reset:
  INIT_CONSOLE 4
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
  bit PPUSTATUS                 ; the hit flag clears as vertical blank ends
  bvs main
@wait_hit:
  bit PPUSTATUS
  bvc @wait_hit
  FILL_PPU $3F01, $16, 1        ; red
  FILL_PPU $3F00, $0F, 1        ; the backdrop, as it was
  PPU_ADDR $0000
  jmp main

nmi:
  pha
  PPU_ADDR $3F01
  lda #$12                      ; blue
  sta PPUDATA
  PPU_ADDR $0000
  pla
  rti

.segment "RODATA"

palette:
  .byte $0F, $12, $12, $12
sprite0:
  .byte 111, 1, $00, 0

.segment "VECTORS"
  .word nmi, reset, ignore_interrupt

.segment "CHARS"
  TILE_SOLID 0
  TILE_SOLID 1
