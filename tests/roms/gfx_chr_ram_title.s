; Pattern RAM, and a title written while the background table is switched
; away, as games do while they load. A first screen shows table 1's digits
; for some frames. Then, with rendering off and the background at table 0,
; the program fills all of table 0 (4 KB) with one pattern, waits a frame,
; writes the title (a digit ramp) into the name table and shows it again
; from table 1. The title must show table 1's digits, not table 0's one
; repeated pattern.
MIRRORING = 1
CHR_BANKS = 0
.include "gfx.inc"
.include "gfx_chr.inc"

reset:
  INIT_CONSOLE 32
  PPU_ADDR $1000
  ldx #0
: lda digits,x
  sta PPUDATA
  inx
  bne :-
  DRAW_ROWS $2000, 0, 29, first_tile
  FILL_PPU $23C0, 0, 64
  START_RENDERING CTRL_BG_1000, MASK_BG, 0, 0
  ldy #4
: jsr wait_vblank
  dey
  bne :-

  lda #0
  sta PPUMASK
  sta PPUCTRL
  PPU_ADDR $0000
  lda #%01010101
  ldy #16
@page:
  ldx #0
: sta PPUDATA
  dex
  bne :-
  dey
  bne @page
  jsr wait_vblank
  DRAW_ROWS $2000, 0, 29, title_tile
  START_RENDERING CTRL_BG_1000, MASK_BG, 0, 0
idle:
  jmp idle

; The first screen: digit 0 everywhere.
first_tile:
  lda #0
  rts

; The title: each cell the low digit of its column plus its row.
title_tile:
  lda gfx_col
  clc
  adc gfx_row
  and #$0F
  rts

.segment "RODATA"

palette:
  .byte $0F, $12, $21, $30,  $0F, $12, $21, $30,  $0F, $12, $21, $30,  $0F, $12, $21, $30
  .byte $0F, $30, $30, $30,  $0F, $30, $30, $30,  $0F, $30, $30, $30,  $0F, $30, $30, $30

digits:
  GLYPH 16

