; Benchmark: a game that never idles. Each pass of the main loop strobes the
; controllers and reads both ports eight times, then moves the next three of
; fourteen bouncing, wobbling objects, checks them against the two players
; (steered by the pads once a frame), keeps a decimal score, weighs the
; objects by shift-and-add and updates their sprites, and starts again at
; once. The NMI handler copies the sprites by DMA,
; writes the score and frame count into the name table and sets the scroll.
;
; A pass reads 0x4016 and 0x4017 eight times each after one strobe, sixteen
; reads in all, so the game sees the same buttons whether the two ports
; count their reads together or apart.
.include "header.inc"
.include "gfx_chr.inc"

PPUCTRL   = $2000
PPUMASK   = $2001
PPUSTATUS = $2002
PPUSCROLL = $2005
PPUADDR   = $2006
PPUDATA   = $2007
OAMDMA    = $4014
JOY1      = $4016
JOY2      = $4017

CTRL = $80                  ; NMI on, both pattern tables at 0x0000
MASK = $1E                  ; background and sprites, left column included

OBJECTS = 16                ; objects 0 and 1 are the players
PLAYERS = 2
SLICE   = 3                 ; objects a pass moves
DIGITS  = 4

; Pad bits after a read: the first button read ends up in bit 7.
BTN_UP    = $08
BTN_DOWN  = $04
BTN_LEFT  = $02
BTN_RIGHT = $01

MIN_X = 8
MAX_X = 240
MIN_Y = 24
MAX_Y = 208

TILE_BALL  = 1
TILE_DIGIT = $10            ; digits 0-F from here

.segment "ZEROPAGE"
frame:    .res 1            ; advanced by every NMI
scroll_x: .res 1
pads:     .res PLAYERS      ; buttons held on each port
seed:     .res 2            ; the random sequence's state
score:    .res DIGITS       ; decimal, lowest digit first
passes:   .res 2            ; main-loop passes, for the sums below
energy:   .res 2
product:  .res 2
factor:   .res 1
last_frame:  .res 1
next_object: .res 1         ; the first object of the next pass's slice
slice_left:  .res 1
obj_x:    .res OBJECTS
obj_y:    .res OBJECTS
obj_dx:   .res OBJECTS
obj_dy:   .res OBJECTS

.segment "BSS"
oam: .res 256               ; the sprite page, copied by every NMI

.segment "CODE"
reset:
  sei
  cld
  ldx #$FF
  txs
  inx
  stx PPUCTRL
  stx PPUMASK
: bit PPUSTATUS
  bpl :-
  txa
: sta $0000,x               ; clear work RAM, stack excepted
  sta $0200,x
  sta $0300,x
  sta $0400,x
  sta $0500,x
  sta $0600,x
  sta $0700,x
  inx
  bne :-
: bit PPUSTATUS
  bpl :-

  bit PPUSTATUS
  lda #$3F
  sta PPUADDR
  stx PPUADDR
: lda palette,x
  sta PPUDATA
  inx
  cpx #32
  bne :-

  ldx #OBJECTS - 1
: lda start_x,x
  sta obj_x,x
  lda start_y,x
  sta obj_y,x
  lda start_dx,x
  sta obj_dx,x
  lda start_dy,x
  sta obj_dy,x
  dex
  bpl :-
  lda #$A5
  sta seed
  lda #$3C
  sta seed + 1
  lda #PLAYERS
  sta next_object

  lda #0
  sta PPUSCROLL
  sta PPUSCROLL
  lda #CTRL
  sta PPUCTRL
  lda #MASK
  sta PPUMASK

main_loop:
  jsr read_pads
  lda frame                 ; the players move once a frame
  cmp last_frame
  beq @objects
  sta last_frame
  jsr move_players
@objects:
  lda #SLICE
  sta slice_left
  ldx next_object
@object:
  jsr move_object
  jsr check_hits
  jsr weigh
  jsr put_sprite
  inx
  cpx #OBJECTS
  bcc :+
  ldx #PLAYERS
: dec slice_left
  bne @object
  stx next_object
  inc passes
  bne main_loop
  inc passes + 1
  jmp main_loop

; Strobe, then the eight buttons of each port, alternately.
read_pads:
  lda #1
  sta JOY1
  lda #0
  sta JOY1
  ldx #8
@next:
  lda JOY1
  lsr a
  rol pads
  lda JOY2
  lsr a
  rol pads + 1
  dex
  bne @next
  rts

; Each player's object follows its pad's directions, one pixel a frame,
; within the field.
move_players:
  ldx #PLAYERS - 1
@player:
  lda pads,x
  and #BTN_RIGHT
  beq :+
  lda obj_x,x
  cmp #MAX_X
  bcs :+
  inc obj_x,x
: lda pads,x
  and #BTN_LEFT
  beq :+
  lda obj_x,x
  cmp #MIN_X + 1
  bcc :+
  dec obj_x,x
: lda pads,x
  and #BTN_DOWN
  beq :+
  lda obj_y,x
  cmp #MAX_Y
  bcs :+
  inc obj_y,x
: lda pads,x
  and #BTN_UP
  beq :+
  lda obj_y,x
  cmp #MIN_Y + 1
  bcc :+
  dec obj_y,x
: jsr put_sprite
  dex
  bpl @player
  rts

; Object X moves by its speed, bounces off the field's edges, and wobbles
; up and down by a table indexed by the frame and the object.
move_object:
  clc
  lda obj_x,x
  adc obj_dx,x
  sta obj_x,x
  cmp #MIN_X
  bcc @bounce_x
  cmp #MAX_X
  bcc @x_done
@bounce_x:
  lda obj_dx,x
  eor #$FF
  clc
  adc #1
  sta obj_dx,x
  clc
  adc obj_x,x
  sta obj_x,x
@x_done:
  txa
  clc
  adc frame
  and #15
  tay
  clc
  lda obj_y,x
  adc obj_dy,x
  adc wobble,y
  sta obj_y,x
  cmp #MIN_Y
  bcc @bounce_y
  cmp #MAX_Y
  bcc @y_done
@bounce_y:
  lda obj_dy,x
  eor #$FF
  clc
  adc #1
  sta obj_dy,x
  lda start_y,x
  sta obj_y,x
@y_done:
  rts

; Object X within eight pixels of a player in both directions scores a
; point and starts again somewhere random.
check_hits:
  ldy #PLAYERS - 1
@player:
  lda obj_x,x
  sec
  sbc obj_x,y
  bcs :+
  eor #$FF
  adc #1
: cmp #8
  bcs @miss
  lda obj_y,x
  sec
  sbc obj_y,y
  bcs :+
  eor #$FF
  adc #1
: cmp #8
  bcs @miss
  jsr add_point
  jsr random
  and #$7F
  adc #64
  sta obj_x,x
  jsr random
  and #$7F
  adc #40
  sta obj_y,x
@miss:
  dey
  bpl @player
  rts

; One more point, carried through the decimal digits.
add_point:
  txa
  pha
  ldx #0
@digit:
  inc score,x
  lda score,x
  cmp #10
  bcc @done
  lda #0
  sta score,x
  inx
  cpx #DIGITS
  bne @digit
@done:
  pla
  tax
  rts

; A 16-bit Galois shift register; the new low byte in A.
random:
  lsr seed + 1
  ror seed
  bcc :+
  lda seed + 1
  eor #$B4
  sta seed + 1
: lda seed
  rts

; Adds object X's speed times its X position to the 16-bit energy, by
; shift and add, as a game weighs its objects.
weigh:
  lda obj_dx,x
  bpl :+
  eor #$FF
  clc
  adc #1
: sta factor
  lda #0
  sta product + 1
  ldy #8
@bit:
  asl a
  rol product + 1
  asl factor
  bcc :+
  clc
  adc obj_x,x
  bcc :+
  inc product + 1
: dey
  bne @bit
  clc
  adc energy
  sta energy
  lda product + 1
  adc energy + 1
  sta energy + 1
  rts

; Object X's sprite: Y, tile, attributes (the palette by object), X.
put_sprite:
  txa
  asl a
  asl a
  tay
  lda obj_y,x
  sta oam,y
  lda #TILE_BALL
  sta oam + 1,y
  txa
  and #3
  sta oam + 2,y
  lda obj_x,x
  sta oam + 3,y
  rts

nmi:
  pha
  txa
  pha
  tya
  pha
  lda #>oam
  sta OAMDMA
  bit PPUSTATUS
  lda #$20                  ; row 2, column 2
  sta PPUADDR
  lda #$42
  sta PPUADDR
  ldx #DIGITS - 1
: lda score,x
  ora #TILE_DIGIT
  sta PPUDATA
  dex
  bpl :-
  lda #0
  sta PPUDATA
  lda frame
  lsr a
  lsr a
  lsr a
  lsr a
  ora #TILE_DIGIT
  sta PPUDATA
  lda frame
  and #15
  ora #TILE_DIGIT
  sta PPUDATA
  inc frame
  inc scroll_x
  lda scroll_x
  sta PPUSCROLL
  lda #0
  sta PPUSCROLL
  lda #CTRL
  sta PPUCTRL
  pla
  tay
  pla
  tax
  pla
  rti

.segment "RODATA"
palette:
  .byte $0F, $11, $21, $30, $0F, $16, $26, $30, $0F, $19, $29, $30, $0F, $00, $10, $30
  .byte $0F, $16, $27, $30, $0F, $12, $22, $30, $0F, $1A, $2A, $30, $0F, $14, $24, $30
start_x:  .byte 64, 192, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 30, 90, 150
start_y:  .byte 100, 100, 40, 60, 80, 100, 120, 140, 160, 180, 60, 80, 100, 120, 140, 160
start_dx: .byte 0, 0, 1, <-1, 2, <-2, 3, <-3, 1, <-1, 2, <-2, 3, <-3, 1, 2
start_dy: .byte 0, 0, <-1, 1, <-2, 2, <-1, 1, <-2, 2, <-1, 1, <-2, 2, 1, <-1
wobble:   .byte 0, 1, 1, 1, 0, 0, <-1, <-1, <-1, 0, 0, 1, 1, 0, <-1, <-1

.segment "VECTORS"
  .word nmi, reset, nmi

.segment "CHARS"
chr:
  TILE_SOLID 0
  TILE $00111100, $01222210, $12233221, $12333321, $12333321, $12233221, $01222210, $00111100
  PAD_TO_TILE chr, TILE_DIGIT
  GLYPH 16
