; 8 x 16 sprites ($2000 bit 5). Background as in gfx_sprites.inc, but the
; fields lie on lines 120-167: checker at x 16-111, brown at x 144-239.
; An 8 x 16 sprite is the pair of tiles (tile AND $FE) on top and (tile OR 1)
; below, from table 1 when the tile number is odd, whatever bit 3 of $2000
; says. A horizontal flip mirrors both halves; a vertical flip mirrors both
; and swaps them. Tile $20 gives table 0 tiles $20 and $21 (a rocket with a
; flag on its right); tile $21 gives table 1 tiles $20 and $21 (a key with
; its teeth on the right; table 1 tile $22 is an X that must not show); tile
; $27 gives table 1 tiles $26 and $27 (an arrow up over a framed block).
;   lines 40-55   rocket at x 32, 56, 80, 104: no flip, H, V, H and V;
;                 arrow and block (x 128)
;   lines 72-87   key at x 32, 56, 80, 104: no flip, H, V, H and V
;   lines 128-143 over the checker: rocket behind (x 40), key in front
;                 (x 64); over the brown field: key in front (x 160),
;                 rocket behind (x 184, covered entirely)
;   lines 232-239 rocket cut by the bottom edge (x 220)
;   sprite 0      rocket at x 8, lines 9-24
MIRRORING = 1
.include "gfx.inc"
.include "gfx_chr.inc"

.segment "CODE"

reset:
  INIT_CONSOLE

  COPY_TO_PPU $3F00, palette, 32
  DRAW_ROWS $2000, 0, 29, field_tile
  PPU_ADDR $23C0
  lda #0
  ldx #64
: sta PPUDATA
  dex
  bne :-

  COPY_TO_OAM sprites, sprites_end - sprites
  START_RENDERING CTRL_SPR_8X16, MASK_BG | MASK_SPR, 0, 0
forever:
  jmp forever

field_tile:
  lda gfx_row
  cmp #15
  bcc @blank
  cmp #21
  bcs @blank
  lda gfx_col
  cmp #2
  bcc @blank
  cmp #14
  bcc @checker
  cmp #18
  bcc @blank
  cmp #30
  bcs @blank
  lda #1
  rts
@checker:
  lda #2
  rts
@blank:
  lda #0
  rts

.segment "RODATA"

palette:
  .byte $2D, $1C, $08, $38,  $2D, $1C, $08, $38,  $2D, $1C, $08, $38,  $2D, $1C, $08, $38
  .byte $2D, $16, $2A, $12,  $2D, $28, $14, $2C,  $2D, $30, $21, $0F,  $2D, $27, $19, $03

; Y, tile, attributes, X
sprites:
  .byte   8, $20, $00,   8   ; 0
  .byte  39, $20, $00,  32   ; rocket
  .byte  39, $20, $41,  56   ; rocket, H
  .byte  39, $20, $82,  80   ; rocket, V
  .byte  39, $20, $C3, 104   ; rocket, H and V
  .byte  39, $27, $03, 128   ; arrow over block
  .byte  71, $21, $00,  32   ; key
  .byte  71, $21, $41,  56   ; key, H
  .byte  71, $21, $82,  80   ; key, V
  .byte  71, $21, $C3, 104   ; key, H and V
  .byte 127, $20, $20,  40   ; behind, over the checker
  .byte 127, $21, $01,  64   ; front, over the checker
  .byte 127, $21, $00, 160   ; front, over the brown field
  .byte 127, $20, $22, 184   ; behind it
  .byte 231, $20, $00, 220   ; bottom edge
sprites_end:

.segment "VECTORS"
  .word ignore_interrupt, reset, ignore_interrupt

.segment "CHARS"
table0:
  TILE_SOLID 0
  TILE_SOLID 2
  ; 2: checker of colour 0 and 1, 2 x 2 squares
  TILE $11001100, $11001100, $00110011, $00110011, $11001100, $11001100, $00110011, $00110011
  PAD_TO_TILE table0, $20
  ; $20-$21: rocket, top and bottom
  TILE $00033022, $00333322, $03311330, $03111130, $33111133, $31111113, $31122113, $31122113
  TILE $31122113, $31111113, $33111133, $03333330, $00200200, $02200220, $22000022, $20000002
  PAD_TO_TILE table0, $100

table1:
  PAD_TO_TILE table1, $20
  ; $20-$21: key, top and bottom
  TILE $00111100, $01111110, $11311311, $11311311, $11111111, $01111110, $00022000, $00022000
  TILE $00022000, $00022000, $00022330, $00022000, $00022330, $00022000, $00022000, $00333300
  ; $22: X, must not show
  TILE $20000002, $02000020, $00200200, $00022000, $00022000, $00200200, $02000020, $20000002
  PAD_TO_TILE table1, $26
  ; $26: arrow up; $27: framed block
  TILE $00033000, $00333300, $03333330, $33333333, $00022000, $00022000, $00022000, $00022000
  TILE $33333333, $31111113, $31222213, $31233213, $31233213, $31222213, $31111113, $33333333
