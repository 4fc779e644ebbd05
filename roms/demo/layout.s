; Tolvar demo: colours and the picture of both name tables.
;
; The screen is described as a list of rectangular objects. The program
; clears both name tables, then copies each object's tiles and gives the
; 16 x 16 areas it covers the object's palette, so the attribute tables are
; never written by hand. Later objects cover earlier ones.

.include "tiles.inc"

.export palette_start, cycle_colours, screen_objects

.segment "RODATA"

; Written to $3F00-$3F1F. Entry 0 of every palette is the sky: a write of
; $3F00 or $3F10 sets all eight of them, so they must agree.
SKY = $21
palette_start:
  .byte SKY, $30, $31, $0F   ; status text and clouds: white, pale blue, black
  .byte SKY, $28, $17, $0F   ; gold (colour 1 cycles), rust, black
  .byte SKY, $27, $17, $0F   ; ground: sand, rust, black
  .byte SKY, $2A, $1A, $09   ; greens
  .byte SKY, $16, $30, $0F   ; robot: red, white, black
  .byte SKY, $2C, $30, $11   ; gem: cyan, white, blue
  .byte SKY, $16, $30, $0F
  .byte SKY, $16, $30, $0F

; The colours that palette entry CYCLE_ENTRY steps through.
cycle_colours:
  .byte $28, $38, $30, $38, $28, $27, $17, $27

; ---------------------------------------------------------------------------
; Object records: name-table address of the top-left tile (word; 0 ends the
; list), width, height, palette, then width x height tile numbers by rows.

.macro OBJECT table, col, row, width, height, palette
  .word (table) + (row) * 32 + (col)
  .byte width, height, palette
.endmacro

; One row of status-bar text.
.macro TEXT table, col, row, palette, string
  OBJECT table, col, row, .strlen(string), 1, palette
  .byte string
.endmacro

; A full-width band of one tile.
.macro BAND table, row, tile
  OBJECT table, 0, row, 32, 1, PAL_STATUS
  .res 32, tile
.endmacro

.macro CLOUD table, col, row, palette
  OBJECT table, col, row, 3, 2, palette
  .byte T_CLOUD + 0, T_CLOUD + 1, T_CLOUD + 2
  .byte T_CLOUD + 3, T_CLOUD + 4, T_CLOUD + 5
.endmacro

; A bush is a cloud in green, resting on the ground.
.macro BUSH table, col
  CLOUD table, col, 24, PAL_GREEN
.endmacro

.macro QBLOCK table, col, row
  OBJECT table, col, row, 2, 2, PAL_GOLD
  .byte T_QBLOCK + 0, T_QBLOCK + 1
  .byte T_QBLOCK + 2, T_QBLOCK + 3
.endmacro

.macro BRICKS table, col, row, width
  OBJECT table, col, row, width, 2, PAL_BROWN
  .res (width) * 2, T_BRICK
.endmacro

; A pipe standing on the ground: rim, then body down to row 25.
.macro PIPE table, col, top
  OBJECT table, col, top, 2, 26 - (top), PAL_GREEN
  .byte T_PIPE + 0, T_PIPE + 1
  .repeat 25 - (top)
    .byte T_PIPE + 2, T_PIPE + 3
  .endrepeat
.endmacro

; A hill standing on the ground, `height` rows tall and twice as wide: each
; row down widens by one slope tile on either side.
.macro HILL table, col, height
  OBJECT table, col, 26 - (height), 2 * (height), height, PAL_GREEN
  .repeat height, r
    .repeat 2 * (height), c
      .if r = 0 .and c = (height) - 1
        .byte T_HILL_TOP
      .elseif r = 0 .and c = (height)
        .byte T_HILL_TOP + 1
      .elseif c = (height) - 1 - r
        .byte T_HILL_LEFT
      .elseif c = (height) + r
        .byte T_HILL_RIGHT
      .elseif c > (height) - 1 - r .and c < (height) + r
        .if r >= 2 .and ((c + 2 * r) .mod 5) = 0
          .byte T_HILL_SPOT
        .else
          .byte T_HILL_BODY
        .endif
      .else
        .byte T_SKY
      .endif
    .endrepeat
  .endrepeat
.endmacro

; Four rows of ground blocks at the bottom of a table.
.macro GROUND table
  OBJECT table, 0, 26, 32, 4, PAL_BROWN
  .repeat 2
    .repeat 16
      .byte T_GROUND + 0, T_GROUND + 1
    .endrepeat
    .repeat 16
      .byte T_GROUND + 2, T_GROUND + 3
    .endrepeat
  .endrepeat
.endmacro

; The status bar frame. The right table gets it too: the split lands inside
; the bottom edge, so when the playfield starts in the right table, the
; last lines of that edge come from it.
.macro STATUS_FRAME table
  BAND table, 0, T_BAR_TOP
  BAND table, 1, T_SPACE
  BAND table, 2, T_SPACE
  BAND table, 3, T_BAR_BOTTOM
.endmacro

screen_objects:
  STATUS_FRAME NT_LEFT
  TEXT NT_LEFT,  2, 1, PAL_GOLD,   "TOLVAR"
  TEXT NT_LEFT,  9, 1, PAL_STATUS, "DEMO"
  TEXT NT_LEFT, 19, 1, PAL_STATUS, "FRAME"
  TEXT NT_LEFT,  1, 2, PAL_STATUS, "PAD"
  STATUS_FRAME NT_RIGHT

  ; Left table: two clouds, a row of blocks, a big hill and a bush.
  CLOUD  NT_LEFT,  3,  6, PAL_STATUS
  CLOUD  NT_LEFT, 21,  9, PAL_STATUS
  BRICKS NT_LEFT, 10, 16, 2
  QBLOCK NT_LEFT, 12, 16
  BRICKS NT_LEFT, 14, 16, 2
  QBLOCK NT_LEFT, 16, 16
  BRICKS NT_LEFT, 18, 16, 2
  HILL   NT_LEFT,  1, 5
  BUSH   NT_LEFT, 23
  GROUND NT_LEFT

  ; Right table: clouds, a lone block, a brick ledge, a small hill, a pipe
  ; and two bushes.
  CLOUD  NT_RIGHT,  9,  5, PAL_STATUS
  CLOUD  NT_RIGHT, 25,  8, PAL_STATUS
  QBLOCK NT_RIGHT,  4, 16
  BRICKS NT_RIGHT, 22, 14, 4
  HILL   NT_RIGHT, 12, 3
  PIPE   NT_RIGHT, 26, 21
  BUSH   NT_RIGHT,  1
  BUSH   NT_RIGHT, 19
  GROUND NT_RIGHT

  .word 0
