; Backdrop and palette mirroring.
; The 32 palette entries are loaded in one run from $3F00, so the writes of
; $3F00, $3F04 ... $3F1C overwrite each other's mirrors; then single writes:
;   $3F10 = $2D  sets entries 0, 4, 8 and 12 of both palettes: grey backdrop
;   $3F08 = $0F  sets background and sprite entry 8 only (black)
; The picture: four bands (background palettes 0-3, label digit, colours 1,
; 2, 3 left to right) on the grey backdrop, and four rows of sprites
; (sprite palettes 0-3, label digit and colours 1-3).
; After the name table is drawn, $3F01 becomes blue ($11) and $3F11 red
; ($16), and rows 17-18 (palette 0) are drawn again: an engine that fixes
; colours when a tile is drawn shows band 0 red and rows 17-18 blue; one
; that colours the picture at presentation shows both blue.
MIRRORING = 1
.include "gfx.inc"
.include "gfx_chr.inc"

reset:
  INIT_CONSOLE 32
  FILL_PPU $3F10, $2D, 1
  FILL_PPU $3F08, $0F, 1

  DRAW_ROWS $2000, 0, 29, band_tile
  COPY_TO_PPU $23C0, attributes, 64

  FILL_PPU $3F01, $11, 1
  FILL_PPU $3F11, $16, 1
  DRAW_ROWS $2000, 17, 18, band_tile

  COPY sprites, sprites_end - sprites, {OAM,x}
  START_RENDERING 0, MASK_BG | MASK_SPR, 0, 0
  jmp *

; Rows 4p+1 and 4p+2 (p = 0-3) and rows 17-18 (p = 0 again): the digit p
; in column 1, six tiles each of colours 1, 2 and 3 from column 3.
band_tile:
  lda gfx_row
  cmp #19
  bcs @blank
  adc #1                ; bit 1 of row + 1 is set for rows 4p+1 and 4p+2
  and #2
  beq @blank
  ldy gfx_col
  lda band_row,y
  bpl @done
  lda gfx_row
  lsr
  lsr
  and #3
  ora #$10              ; digit p
@done:
  rts
@blank:
  lda #0
  rts

.segment "RODATA"

; $FF: the digit.
band_row:
  .byte 0, $FF, 0, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 3
  .byte 3, 3, 3, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0

palette:
  .byte $0F, $16, $27, $28,  $05, $1A, $2A, $39,  $09, $12, $21, $32,  $0B, $14, $24, $34
  .byte $01, $30, $10, $00,  $03, $17, $07, $08,  $06, $1C, $2C, $3C,  $0C, $13, $23, $33

; Attribute row p (tile rows 4p-4p+3) uses palette p; rows 16-29 palette 0.
attributes:
  .repeat 4, p
    .res 8, p * $55
  .endrepeat
  .res 32, $00

; Sprite palette p: label digit at x 8, colours 1-3 at x 24, 40, 56; the
; tops of the rows are picture lines 168, 184, 200, 216.
sprites:
  .repeat 4, p
    .byte 167 + p * 16, $10 + p, p, 8
    .byte 167 + p * 16, $01, p, 24
    .byte 167 + p * 16, $02, p, 40
    .byte 167 + p * 16, $03, p, 56
  .endrepeat
sprites_end:


.segment "CHARS"
chr:
  .repeat 4, c
    TILE_SOLID c
  .endrepeat
  PAD_TO_TILE chr, $10
  GLYPH 16
