; Background tiles: all four attribute quadrants and both pattern tables.
; Every cell holds tile 1 or 2 in a checkerboard, column 0 holds tile $0F,
; which is the digit of its pattern table (0 or 1).
; Each 32 x 32 block has four palettes, one per 16 x 16 quadrant, in one of
; four arrangements ($E4, $4E, $B1, $1B) that rotate from block to block.
; Rows 0-15 and their attribute bytes are written with background pattern
; table 0 selected, rows 16-29 and theirs with table 1. The SDL engine
; redraws its cached cells when the table changes, so it shows table 1
; (crosses and bars) throughout; the DirectX engine takes the pattern of a
; tile when its name-table or attribute byte is written, so its top half
; shows table 0 (rings and diagonals).
MIRRORING = 0
.include "gfx.inc"
.include "gfx_chr.inc"

reset:
  INIT_CONSOLE 32

  DRAW_ROWS $2000, 0, 15, checker_tile
  COPY_TO_PPU $23C0, attributes, 32

  lda #CTRL_BG_1000
  sta PPUCTRL
  DRAW_ROWS $2000, 16, 29, checker_tile
  COPY_TO_PPU $23E0, attributes + 32, 32

  START_RENDERING CTRL_BG_1000, MASK_BG, 0, 0
  jmp *

checker_tile:
  lda gfx_col
  beq @label
  clc
  adc gfx_row
  lsr
  lda #1
  adc #0
  rts
@label:
  lda #$0F
  rts

.segment "RODATA"

palette:
  .byte $0F, $06, $16, $36,  $0F, $0A, $1A, $3A,  $0F, $02, $12, $32,  $0F, $08, $28, $38
  .byte $0F, $30, $30, $30,  $0F, $30, $30, $30,  $0F, $30, $30, $30,  $0F, $30, $30, $30

; Block (bx, by) uses arrangement (bx + by) & 3 (quadrant palettes
; top-left, top-right, bottom-left, bottom-right):
;   $E4 = 0 1 2 3, $4E = 2 3 0 1, $B1 = 1 0 3 2, $1B = 3 2 1 0
attributes:
  .repeat 64, i
    .byte ($1BB14EE4 >> ((((i & 7) + i / 8) & 3) * 8)) & $FF
  .endrepeat


.segment "CHARS"
table0:
  BG_TILES_0
  PAD_TO_TILE table0, $0F
  GLYPH 0
  PAD_TO_TILE table0, $100

table1:
  BG_TILES_1
  PAD_TO_TILE table1, $0F
  GLYPH 1
