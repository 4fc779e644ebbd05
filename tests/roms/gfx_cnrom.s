; CHR bank switch on mapper 3: four 8 KB banks. In bank n, tile 1 is the
; digit n and tile 2 a pattern of its own (0 horizontal stripes, 1 vertical
; stripes, 2 diagonals, 3 checker). Rows 8n to 8n+7 of the name table and
; their attribute bytes (palette n) are written while bank n is selected.
; The DirectX engine takes a tile's pattern when its name-table byte is
; written, so it shows bands 0, 1, 2, 3 from top to bottom; the SDL engine
; redraws the cells whose patterns a bank switch changed, so every band
; shows bank 2's tiles in its own palette. Bank 2 is selected last; the four sprites (tiles 1, 2, 1, 2 in black and white, x 112-143,
; lines 112-119) are drawn from the current pattern memory and show "2" and
; diagonals.
MIRRORING = 1
MAPPER = 3
CHR_BANKS = 4
.include "gfx.inc"
.include "gfx_chr.inc"

; Selects a CHR bank; the byte written matches the ROM byte under it.
.macro SELECT_BANK n
  lda #(n)
  sta bank_values + (n)
.endmacro

reset:
  INIT_CONSOLE 32
  .repeat 4, n
    SELECT_BANK n
    DRAW_ROWS $2000, n * 8, n * 8 + 7 - (n / 3) * 2, band_tile
    FILL_PPU $23C0 + n * 16, n * $55, 16
  .endrepeat
  SELECT_BANK 2
  COPY sprites, sprites_end - sprites, {OAM,x}
  START_RENDERING 0, MASK_BG | MASK_SPR, 0, 0
  jmp *

; Digit in even columns, pattern in odd ones.
band_tile:
  lda gfx_col
  lsr
  lda #1
  adc #0
  rts

.segment "RODATA"

bank_values:
  .byte 0, 1, 2, 3

palette:
  .byte $0F, $26, $06, $0F,  $0F, $2A, $0A, $0F,  $0F, $22, $02, $0F,  $0F, $28, $08, $0F
  .byte $0F, $30, $00, $0F,  $0F, $30, $00, $0F,  $0F, $30, $00, $0F,  $0F, $30, $00, $0F

; Y, tile, attributes, X
sprites:
  .repeat 4, i
    .byte 111, 1 + (i & 1), $00, 112 + i * 8
  .endrepeat
sprites_end:


.segment "CHARS"
.repeat 4, bank
  .scope
  base:
    TILE_SOLID 0
    GLYPH bank
    .if bank = 0          ; tile 2: stripes, stripes across, diagonals, checker
      TILE $11111111, $11111111, $33333333, $33333333, $11111111, $11111111, $33333333, $33333333
    .elseif bank = 1
      TILE $11331133, $11331133, $11331133, $11331133, $11331133, $11331133, $11331133, $11331133
    .elseif bank = 2
      TILE $31111111, $13111111, $11311111, $11131111, $11113111, $11111311, $11111131, $11111113
    .else
      TILE $11331133, $11331133, $33113311, $33113311, $11331133, $11331133, $33113311, $33113311
    .endif
    PAD_TO_TILE base, $200
  .endscope
.endrepeat
