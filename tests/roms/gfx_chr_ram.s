; Pattern RAM: the name table (tiles 1 and 2 in a checkerboard) is written
; before the patterns are uploaded. Each frame starts with the background at
; table 0 and switches to table 1 once sprite 0 (a block at x 120, lines
; 112-119) has hit: rings and diagonals above, crosses and bars below.
MIRRORING = 1
CHR_BANKS = 0
.include "gfx.inc"
.include "gfx_chr.inc"

reset:
  INIT_CONSOLE 32
  DRAW_ROWS $2000, 0, 29, checker_tile
  FILL_PPU $23C0, %11100100, 64

  COPY_TO_PPU $0000, table0, table0_end - table0
  COPY_TO_PPU $1000, table1, table1_end - table1

  COPY sprites, sprites_end - sprites, {OAM,x}
  START_RENDERING 0, MASK_BG | MASK_SPR, 0, 0

frame:
@hit_clear:
  bit PPUSTATUS
  bvs @hit_clear
@wait_hit:
  bit PPUSTATUS
  bvc @wait_hit
  lda #CTRL_BG_1000
  sta PPUCTRL
  jsr wait_vblank
  lda #0
  sta PPUCTRL
  jmp frame

checker_tile:
  lda gfx_col
  clc
  adc gfx_row
  lsr
  lda #1
  adc #0
  rts

.segment "RODATA"

palette:
  .byte $0F, $06, $16, $36,  $0F, $0A, $1A, $3A,  $0F, $02, $12, $32,  $0F, $08, $28, $38
  .byte $0F, $30, $30, $30,  $0F, $30, $30, $30,  $0F, $30, $30, $30,  $0F, $30, $30, $30

sprites:
  .byte 111, 3, $00, 120
sprites_end:

table0:
  BG_TILES_0
  TILE_SOLID 3             ; 3: sprite 0's block
table0_end:
table1:
  BG_TILES_1
table1_end:

