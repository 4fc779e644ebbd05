; Tolvar demo cartridge (NROM, vertical mirroring).
;
; Shows what the emulator draws: a landscape spread over both name tables
; that scrolls sideways by one pixel a frame, a status bar that stays still
; above it (split with the sprite-0 hit), a robot that the d-pad moves, and
; a colour that cycles every 8 frames.
;
; Frame structure:
;   NMI (vertical blank): sprite DMA, all 32 palette entries, the changing
;       status text, and scroll 0 / left name table for the status bar.
;   main loop, woken by the NMI: reads the pad, moves the robot, prepares
;       the next upload, then waits for the sprite-0 hit at the bottom edge
;       of the status bar and sets the playfield scroll for the lines below.

.include "tiles.inc"

.import palette_start, cycle_colours, screen_objects

PPUCTRL   = $2000
PPUMASK   = $2001
PPUSTATUS = $2002
PPUSCROLL = $2005
PPUADDR   = $2006
PPUDATA   = $2007
OAMDMA    = $4014
JOYPAD1   = $4016

CTRL_NMI         = $80
CTRL_SPRITE_1000 = $08     ; sprites from the second pattern table
CTRL             = CTRL_NMI | CTRL_SPRITE_1000
MASK             = $1E     ; background and sprites, left column included

; Pad bits after read_pad, first button read ends up in bit 7.
BTN_A      = $80
BTN_B      = $40
BTN_SELECT = $20
BTN_START  = $10
BTN_UP     = $08
BTN_DOWN   = $04
BTN_LEFT   = $02
BTN_RIGHT  = $01

; Sprite 0 covers tile row 3, the bottom edge of the status bar, which is
; the same in every column of both name tables; wherever inside that row
; the split lands, the seam does not show.
GEM_Y = STATUS_ROWS * 8 - 9  ; sprites appear one line below their Y
GEM_X = 124
GEM_ATTR = 1                  ; sprite palette 1

; The robot's top-left pixel stays below the status bar and above the
; ground (tile row 26).
ROBOT_START_X = 40
ROBOT_START_Y = 96
ROBOT_MIN_Y   = STATUS_ROWS * 8 + 8
ROBOT_MAX_Y   = 26 * 8 - 16
ROBOT_MAX_X   = 256 - 16
FACE_LEFT     = $40          ; horizontal flip

.segment "HEADER"
  .byte "NES", $1A
  .byte 2                    ; 16 KB PRG banks
  .byte 1                    ; 8 KB CHR banks
  .byte $01                  ; mapper 0, vertical mirroring
  .byte $00
  .res 8, 0

.segment "ZEROPAGE"
nmi_count:     .res 1        ; advanced by every NMI
pad:           .res 1        ; buttons held, BTN_* bits
robot_x:       .res 1
robot_y:       .res 1
facing:        .res 1        ; 0 or FACE_LEFT
scroll_x:      .res 2        ; 0-511: pixel in the low byte, name table in bit 0 of the high
ptr:           .res 2        ; walks the object list
obj_addr:      .res 2        ; name-table address of the current object row
obj_width:     .res 1
obj_height:    .res 1
obj_pal_x4:    .res 1        ; the object's palette, times 4
obj_col:       .res 1        ; its first column
attr_row_base: .res 1        ; attribute shadow index of the row's first byte
attr_row_half: .res 1        ; 2 in the lower half of a 32 x 32 block, else 0
saved_y:       .res 1
temp:          .res 1

.segment "OAM"
oam: .res 256                ; copied to sprite memory by every NMI

.segment "BSS"
palette:      .res 32            ; uploaded by every NMI
frame_digits: .res FRAME_DIGITS  ; decimal frame count, as text
pad_text:     .res PAD_CHARS     ; button labels, '-' where not held
attr_shadow:  .res 128           ; both attribute tables, built from the objects

.segment "CODE"

reset:
  sei
  cld
  ldx #$FF
  txs
  inx
  stx PPUCTRL                ; no NMI and nothing drawn while we build
  stx PPUMASK
  bit PPUSTATUS
: bit PPUSTATUS
  bpl :-

  txa                        ; clear all work RAM
: sta $0000,x
  sta $0100,x
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

  ; Colours first: an engine may fix a tile's colours when it is written.
  ldx #31
: lda palette_start,x
  sta palette,x
  dex
  bpl :-
  jsr upload_palette

  jsr clear_name_tables
  jsr draw_objects
  jsr upload_attributes

  lda #ROBOT_START_X
  sta robot_x
  lda #ROBOT_START_Y
  sta robot_y
  ldx #FRAME_DIGITS - 1
  lda #'0'
: sta frame_digits,x
  dex
  bpl :-
  jsr build_status_text
  jsr build_oam

: bit PPUSTATUS
  bpl :-
  lda #0
  sta PPUSCROLL
  sta PPUSCROLL
  lda #CTRL
  sta PPUCTRL
  lda #MASK
  sta PPUMASK

main_loop:
  lda nmi_count              ; sleep until the next vertical blank
: cmp nmi_count
  beq :-

  jsr read_pad
  jsr move_robot
  jsr count_frame
  jsr cycle_palette
  jsr build_status_text
  jsr build_oam

  inc scroll_x               ; one pixel a frame, wrapping after both tables
  bne :+
  lda scroll_x + 1
  eor #1
  sta scroll_x + 1
:
  jsr split_below_status_bar
  jmp main_loop

; ---------------------------------------------------------------------------
; Vertical blank

nmi:
  pha
  txa
  pha
  tya
  pha

  lda #>oam
  sta OAMDMA

  jsr upload_palette

  lda #>FRAME_ADDR
  sta PPUADDR
  lda #<FRAME_ADDR
  sta PPUADDR
  ldx #0
: lda frame_digits,x
  sta PPUDATA
  inx
  cpx #FRAME_DIGITS
  bne :-

  lda #>PAD_ADDR
  sta PPUADDR
  lda #<PAD_ADDR
  sta PPUADDR
  ldx #0
: lda pad_text,x
  sta PPUDATA
  inx
  cpx #PAD_CHARS
  bne :-

  ; The status bar at the top is drawn unscrolled from the left table.
  ; Scroll goes after the address writes, which share its registers.
  lda #0
  sta PPUSCROLL
  sta PPUSCROLL
  lda #CTRL
  sta PPUCTRL

  inc nmi_count

  pla
  tay
  pla
  tax
  pla
irq:
  rti

upload_palette:
  bit PPUSTATUS              ; next address write is the high byte
  lda #$3F
  sta PPUADDR
  lda #$00
  sta PPUADDR
  ldx #0
: lda palette,x
  sta PPUDATA
  inx
  cpx #32
  bne :-
  rts

; ---------------------------------------------------------------------------
; The split

; Waits for the sprite-0 hit at the bottom of the status bar, then gives
; the lines below it the playfield scroll.
split_below_status_bar:
: bit PPUSTATUS              ; last frame's hit stays flagged until the
  bvs :-                     ; end of vertical blank
: bit PPUSTATUS
  bvc :-
  lda scroll_x
  sta PPUSCROLL
  lda #0
  sta PPUSCROLL
  lda scroll_x + 1           ; the name table the playfield starts in
  ora #CTRL
  sta PPUCTRL
  rts

; ---------------------------------------------------------------------------
; Game logic

read_pad:
  lda #1                     ; latch the buttons
  sta JOYPAD1
  lda #0
  sta JOYPAD1
  ldx #8
: lda JOYPAD1                ; A, B, Select, Start, Up, Down, Left, Right
  lsr a
  rol pad
  dex
  bne :-
  rts

move_robot:
  lda pad
  and #BTN_RIGHT
  beq @not_right
  lda #0
  sta facing
  lda robot_x
  cmp #ROBOT_MAX_X
  bcs @not_right
  inc robot_x
@not_right:
  lda pad
  and #BTN_LEFT
  beq @not_left
  lda #FACE_LEFT
  sta facing
  lda robot_x
  beq @not_left
  dec robot_x
@not_left:
  lda pad
  and #BTN_UP
  beq @not_up
  lda robot_y
  cmp #ROBOT_MIN_Y + 1
  bcc @not_up
  dec robot_y
@not_up:
  lda pad
  and #BTN_DOWN
  beq @not_down
  lda robot_y
  cmp #ROBOT_MAX_Y
  bcs @not_down
  inc robot_y
@not_down:
  rts

; Adds one to the decimal text of the frame counter.
count_frame:
  ldx #FRAME_DIGITS - 1
: inc frame_digits,x
  lda frame_digits,x
  cmp #'9' + 1
  bne @done
  lda #'0'
  sta frame_digits,x
  dex
  bpl :-
@done:
  rts

; Steps the shimmering colour on every eighth frame.
cycle_palette:
  lda nmi_count
  lsr a
  lsr a
  lsr a
  and #7
  tax
  lda cycle_colours,x
  sta palette + CYCLE_ENTRY
  rts

; Shows each button's label while it is held.
build_status_text:
  ldx #PAD_CHARS - 1
@char:
  lda pad_label_buttons,x
  beq @label                 ; a gap between labels
  and pad
  bne @label
  lda #'-'
  bne @store
@label:
  lda pad_labels,x
@store:
  sta pad_text,x
  dex
  bpl @char
  rts

; Sprite 0 is the gem that triggers the split; sprites 1-4 the robot.
build_oam:
  lda #GEM_Y
  sta oam + 0
  lda #S_GEM
  sta oam + 1
  lda #GEM_ATTR
  sta oam + 2
  lda #GEM_X
  sta oam + 3

  ldy #0                     ; robot part
  ldx #4                     ; its OAM entry
@part:
  lda robot_y
  clc
  adc robot_part_dy,y
  sec
  sbc #1                     ; sprites appear one line below their Y
  sta oam + 0,x
  lda facing
  beq :+
  lda robot_tiles_left,y
  bne @tile
: lda robot_tiles_right,y
@tile:
  sta oam + 1,x
  lda facing
  sta oam + 2,x
  lda robot_x
  clc
  adc robot_part_dx,y
  sta oam + 3,x
  inx
  inx
  inx
  inx
  iny
  cpy #4
  bne @part
  rts

; ---------------------------------------------------------------------------
; Building the screen (rendering off)

clear_name_tables:
  bit PPUSTATUS
  lda #>NT_LEFT
  sta PPUADDR
  lda #<NT_LEFT
  sta PPUADDR
  lda #T_SKY
  ldy #8                     ; both tables: 8 x 256 bytes
  ldx #0
: sta PPUDATA
  inx
  bne :-
  dey
  bne :-
  rts

; Copies every object of screen_objects into the name tables and marks its
; palette in attr_shadow.
draw_objects:
  lda #<screen_objects
  sta ptr
  lda #>screen_objects
  sta ptr + 1
@object:
  ldy #0
  lda (ptr),y
  sta obj_addr
  iny
  lda (ptr),y
  sta obj_addr + 1
  ora obj_addr
  bne :+
  rts                        ; address 0 ends the list
: iny
  lda (ptr),y
  sta obj_width
  iny
  lda (ptr),y
  sta obj_height
  iny
  lda (ptr),y
  asl a
  asl a
  sta obj_pal_x4
  lda obj_addr
  and #31
  sta obj_col
  lda #5                     ; step over the record's header
  jsr advance_ptr
@row:
  jsr find_attribute_row
  bit PPUSTATUS
  lda obj_addr + 1
  sta PPUADDR
  lda obj_addr
  sta PPUADDR
  ldy #0
@tile:
  lda (ptr),y
  sta PPUDATA
  tya
  clc
  adc obj_col
  jsr set_attribute
  iny
  cpy obj_width
  bne @tile
  tya
  jsr advance_ptr
  lda obj_addr               ; next row: 32 tiles on
  clc
  adc #32
  sta obj_addr
  bcc :+
  inc obj_addr + 1
: dec obj_height
  bne @row
  jmp @object

; ptr += A
advance_ptr:
  clc
  adc ptr
  sta ptr
  bcc :+
  inc ptr + 1
: rts

; Works out where the attribute bits of the tile row at obj_addr live.
find_attribute_row:
  lda obj_addr               ; row = address bits 5-9
  lsr a
  lsr a
  lsr a
  lsr a
  lsr a
  sta temp
  lda obj_addr + 1
  and #3
  asl a
  asl a
  asl a
  ora temp
  tax
  and #2                     ; lower half of its 32 x 32 block?
  sta attr_row_half
  txa
  and #$1C                   ; (row / 4) * 8
  asl a
  sta temp
  lda obj_addr + 1
  and #>(NT_RIGHT - NT_LEFT) ; right table: second half of the shadow
  beq :+
  lda #64
: ora temp
  sta attr_row_base
  rts

; Gives the 16 x 16 area holding tile column A of the current row the
; object's palette. Keeps Y.
set_attribute:
  sty saved_y
  tay
  lsr a
  lsr a
  ora attr_row_base
  tax                        ; the attribute byte
  tya
  lsr a
  and #1                     ; right half of its 32 x 32 block?
  ora attr_row_half
  ora obj_pal_x4
  tay                        ; palette * 4 + quadrant
  lda attr_shadow,x
  and quadrant_keep,y
  ora quadrant_bits,y
  sta attr_shadow,x
  ldy saved_y
  rts

upload_attributes:
  bit PPUSTATUS
  lda #>(NT_LEFT + ATTR_OFFSET)
  sta PPUADDR
  lda #<(NT_LEFT + ATTR_OFFSET)
  sta PPUADDR
  ldx #0
: lda attr_shadow,x
  sta PPUDATA
  inx
  cpx #64
  bne :-
  lda #>(NT_RIGHT + ATTR_OFFSET)
  sta PPUADDR
  lda #<(NT_RIGHT + ATTR_OFFSET)
  sta PPUADDR
: lda attr_shadow,x
  sta PPUDATA
  inx
  cpx #128
  bne :-
  rts

.segment "RODATA"

; Quadrants of an attribute byte: top left, top right, bottom left, bottom
; right; indexed by palette * 4 + quadrant.
quadrant_keep:
  .repeat 4
    .byte $FC, $F3, $CF, $3F
  .endrepeat
quadrant_bits:
  .repeat 4, p
    .byte p, p << 2, p << 4, p << 6
  .endrepeat

; Robot parts: top left, top right, bottom left, bottom right. Facing left
; swaps the columns and flips every tile.
robot_part_dx:     .byte 0, 8, 0, 8
robot_part_dy:     .byte 0, 0, 8, 8
robot_tiles_right: .byte S_ROBOT + 0, S_ROBOT + 1, S_ROBOT + 2, S_ROBOT + 3
robot_tiles_left:  .byte S_ROBOT + 1, S_ROBOT + 0, S_ROBOT + 3, S_ROBOT + 2

; Status row 2: one label per button, and the button each character
; belongs to (0 for the gaps).
pad_labels:
  .byte "A B SE ST UP DN LT RT"
pad_label_buttons:
  .byte BTN_A, 0, BTN_B, 0
  .byte BTN_SELECT, BTN_SELECT, 0, BTN_START, BTN_START, 0
  .byte BTN_UP, BTN_UP, 0, BTN_DOWN, BTN_DOWN, 0
  .byte BTN_LEFT, BTN_LEFT, 0, BTN_RIGHT, BTN_RIGHT
.assert * - pad_label_buttons = PAD_CHARS, error, "one button per label character"

.segment "VECTORS"
  .word nmi, reset, irq
