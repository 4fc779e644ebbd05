; Sprite-0 hit: sprite 0 (Y 87, a red block at x 120, lines 88-95) over a
; field of vertical stripes (4 pixels light blue, 4 dark blue).
; Each frame, once vertical blank has ended, the program counts passes of a
; 114-cycle loop (one scanline each) until bit 6 of $2002 is set, then sets
; the horizontal scroll to 3 (fine X) for the rest of the frame, so the
; stripes step on the first line drawn after the flag was seen. In the next
; vertical blank the count is written as two hex digits at row 2, columns
; 2-3, and sprite 1 (a yellow arrow at x 128, pointing left) is moved to
; Y = count. $FF means the flag never came (240 passes).
MIRRORING = 1
.include "gfx.inc"
.include "gfx_chr.inc"

.segment "ZEROPAGE"
lines:  .res 1

.segment "CODE"

reset:
  INIT_CONSOLE
  lda #0
  sta lines

  COPY_TO_PPU $3F00, palette, 32
  DRAW_ROWS $2000, 0, 29, stripe_tile
  PPU_ADDR $23C0
  lda #0
  ldx #64
: sta PPUDATA
  dex
  bne :-

  COPY_TO_OAM sprites, sprites_end - sprites
  START_RENDERING CTRL_SPR_1000, MASK_BG | MASK_SPR, 0, 0

frame:
  jsr wait_vblank
  PPU_ADDR $2042
  lda lines
  lsr
  lsr
  lsr
  lsr
  ora #$10
  sta PPUDATA
  lda lines
  and #$0F
  ora #$10
  sta PPUDATA
  lda lines
  sta OAM + 4
  lda #>OAM
  sta OAMDMA
  PPU_ADDR $0000

@end_of_vblank:
  bit PPUSTATUS
  bvs @end_of_vblank
  SCROLL 0, 0
  ldx #0
; Cycles as this console's CPU counts them (a taken branch costs 4).
count_loop:
  inx               ; 2
  cpx #240          ; 2
  beq timeout       ; 2
  ldy #16           ; 2
  nop               ; 2
  nop               ; 2
delay:
  dey               ; 2
  bne delay         ; 4, 2 at the end: 94 in all
  bit PPUSTATUS     ; 4
  bvc count_loop    ; 4
  .assert >count_loop = >*, error, "count loop crosses a page"
  SCROLL 3, 0
  stx lines
  jmp frame
timeout:
  lda #$FF
  sta lines
  jmp frame

; Stripes everywhere; row 2, columns 2-3: "00" until the first count.
stripe_tile:
  lda gfx_row
  cmp #2
  bne @stripes
  lda gfx_col
  cmp #2
  beq @digit
  cmp #3
  beq @digit
@stripes:
  lda #1
  rts
@digit:
  lda #$10
  rts

.segment "RODATA"

palette:
  .byte $0F, $21, $02, $30,  $0F, $21, $02, $30,  $0F, $21, $02, $30,  $0F, $21, $02, $30
  .byte $0F, $16, $28, $30,  $0F, $16, $28, $30,  $0F, $16, $28, $30,  $0F, $16, $28, $30

; Y, tile, attributes, X
sprites:
  .byte  87, $01, $00, 120   ; 0: red block
  .byte   0, $02, $00, 128   ; 1: arrow at the counted line
sprites_end:

.segment "VECTORS"
  .word ignore_interrupt, reset, ignore_interrupt

.segment "CHARS"
chr:
  TILE_SOLID 0
  ; 1: stripes for the background, solid colour 1 for sprites
  TILE $11112222, $11112222, $11112222, $11112222, $11112222, $11112222, $11112222, $11112222
  ; 2: arrow pointing left, colour 2
  TILE $00000000, $00200000, $02200000, $22222222, $22222222, $02200000, $00200000, $00000000
  PAD_TO_TILE chr, $10
  FONT BORDERED
  PAD_TO_TILE chr, $100
chr_sprites:
  TILE_SOLID 0
  TILE_SOLID 1
  TILE $00000000, $00200000, $02200000, $22222222, $22222222, $02200000, $00200000, $00000000
