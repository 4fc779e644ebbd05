; The whole console, checked from a program.
; First what cartridges check at start-up: the data port answers one read
; late (the palette at once, leaving the name-table byte beneath it in the
; buffer); $2800 mirrors $2000 (vertical mirroring) and $2400 does not; CHR
; data are copied after a throw-away read, and a clear of picture memory
; (through $0000, and past $3FFF where the address wraps) leaves them as they
; are, since they are ROM. Writes to $2004 advance the sprite address.
; The controller port: nothing before the first strobe, and a write with bit 0
; clear is none; a write with bit 0 set then one with it clear strobes ($09
; then $08 too); then eight buttons as $40/$41, $40 for reads 9-18, 0/1 at
; $4016 and 1/0 at $4017 on reads 19 and 20, $40 after; each address counts
; its own reads, so reads alternating between them, whichever comes first,
; give each the buttons in order. The test holds Z (A), Return (Start) and Left from frame 2
; to frame 5: they are down after the third vertical blank and up again after
; the sixth.
; The vblank flag and the NMI: a read of $2002 clears the flag; no NMI while
; bit 7 of $2000 is clear; with it set one per frame whatever I says, which
; pushes the status as stored (B, bit 5) and leaves I alone, and its handler
; finds the flag set.
; Last, SED and a JMP through a pointer at $xxFF warn once each, and an opcode
; outside the instruction set stops the console: the status stays $80 and
; $6100/$6101 hold the opcode's address.
OWN_VECTORS = 1
.include "gfx.inc"
.include "check.inc"

READS      = 24
buf        = $0300
vblanks    = $0700
nmi_count  = $0701
nmi_p      = $0702       ; the status the last NMI pushed,
nmi_own    = $0703       ; the status in its handler
nmi_vblank = $0704       ; and $2002 read there
nmi_a      = $0705
BAD_ADDR   = $6100

; Strobes at saddr with hi, then hi with bit 0 clear; reads the port READS
; times alternating between a1 and a2; compares with table.
.macro PORT_READS saddr, hi, a1, a2, table, text
  .local loop
  lda #hi
  sta saddr
  and #$FE
  sta saddr
  ldx #0
loop:
  lda a1
  sta buf,x
  inx
  lda a2
  sta buf,x
  inx
  cpx #READS
  bne loop
  EXPECT_BYTES buf, table, READS, text
.endmacro

reset:
  ldx #$FF
  txs
  COPY report_start, 5, {RESULT_STATUS,x}
  lda #0
  sta PPUCTRL
  sta vblanks
  sta nmi_count

  ; --- start-up checks of cartridges ------------------------------------------
  FILL_PPU $2000, $A5, 1
  FILL_PPU $2400, $5A, 1
  PPU_ADDR $2000
  EXPECT PPUDATA, $00, "first read after the address: the old buffer"
  EXPECT PPUDATA, $A5, "second read: $2000"
  PPU_ADDR $2800
  lda PPUDATA
  EXPECT PPUDATA, $A5, "$2800 mirrors $2000 (vertical)"
  PPU_ADDR $2400
  lda PPUDATA
  EXPECT PPUDATA, $5A, "$2400 is a table of its own"
  FILL_PPU $3FF8, $00, 256      ; the palette's end, then $0000-$00F7
  FILL_PPU $0100, $00, $40
  PPU_ADDR level_chr
  lda PPUDATA
  ldx #0
: lda PPUDATA
  sta buf,x
  inx
  cpx #LEVEL_SIZE
  bne :-
  EXPECT_BYTES buf, level, LEVEL_SIZE, "CHR data after a throw-away read"
  FILL_PPU $3F01, $21, 1
  FILL_PPU $2701, $77, 1   ; beneath $3F01: $2F01, mirrored onto $2701
  PPU_ADDR $3F01
  EXPECT PPUDATA, $21, "a palette read answers at once"
  PPU_ADDR $2000
  EXPECT PPUDATA, $77, "and leaves the name table beneath it"
  lda #$FE
  sta $2003
  sta $2004
  sta $2004
  sta $2004
  EXPECT $2003, $01, "$2004 writes advance the sprite address, wrapping"

  ; --- the controller port -----------------------------------------------------
  lda #2
  sta $4016
  lda #0
  sta $4016
  EXPECT $4016, $00, "$4016 before any strobe (2 then 0 written)"
  EXPECT $4017, $00, "$4017 before any strobe"
  NOTE "waiting for vblank 3"
  lda #3
  jsr wait_vblanks
  PORT_READS $4016, $09, $4016, $4016, pressed_4016, "$4016 reads, A Start Left down"
  PORT_READS $4016, $01, $4017, $4017, pressed_4017, "$4017 reads, A Start Left down"
  PORT_READS $4017, $01, $4016, $4017, pressed_both, "alternate reads, A Start Left down"
  PORT_READS $4016, $01, $4017, $4016, pressed_both, "alternate reads from $4017 first"
  NOTE "waiting for vblank 6"
  lda #6
  jsr wait_vblanks
  PORT_READS $4016, $01, $4016, $4016, released_4016, "$4016 reads after release"

  ; --- the vblank flag and the NMI ---------------------------------------------
  lda #7
  jsr wait_vblanks
  EXPECT $2002, $00, "a second read of $2002, bit 7", $80
  lda #8
  jsr wait_vblanks
  EXPECT nmi_count, 0, "NMI while bit 7 of $2000 is clear"
  NOTE "waiting for an NMI with I clear"
  lda #$20               ; the whole status byte
  pha
  plp
  lda #$80
  sta $2000
: lda nmi_count
  beq :-
  EXPECT nmi_vblank, $80, "vblank flag in the NMI handler", $80
  EXPECT nmi_p, $20, "NMI with I clear pushed I, B, bit 5", $34
  EXPECT nmi_own, $20, "I, B, bit 5 in its handler", $34
  NOTE "waiting for an NMI with I set"
  lda #$04
  pha
  plp
: lda nmi_count
  cmp #2
  bcc :-
  EXPECT nmi_p, $04, "NMI with I set, bit 5 clear pushed I, B, bit 5", $34
  EXPECT nmi_own, $04, "I, B, bit 5 in its handler", $34
  lda #0
  sta $2000
  sta nmi_count
  NOTE "waiting for two frames with NMI off"
  lda #10
  jsr wait_vblanks
  EXPECT nmi_count, 0, "NMI after bit 7 of $2000 was cleared"

  ; --- warnings, then an opcode outside the instruction set -------------------
  sed
  cld
  .byte $6C              ; JMP (pointer), written out: ca65 warns of $xxFF
  .word pointer
jmp_back:
  lda #<bad_site
  sta BAD_ADDR
  lda #>bad_site
  sta BAD_ADDR + 1
  NOTE "before the bad opcode"
bad_site:
  .byte $02
  FAIL "ran past the bad opcode"

; Polls $2002 until the vblank flag has been seen A times since reset.
wait_vblanks:
  cmp vblanks
  bcc @done
  beq @done
: bit $2002
  bpl :-
  inc vblanks
  jmp wait_vblanks
@done:
  rts

; Records the status it pushed, its own status and $2002; keeps A.
nmi:
  sta nmi_a
  pla
  sta nmi_p
  pha
  php
  pla
  sta nmi_own
  lda $2002
  sta nmi_vblank
  inc nmi_count
  lda nmi_a
  rti

irq:
  FAIL "unexpected BRK"

level:
  .byte $01, $02, $03, $05, $08, $0D, $15, $22, $37, $FF
LEVEL_SIZE = * - level

; READS reads of the port: the buttons A, Start and Left as key, $40 for the
; others and reads 9-18, r19 and r20, then $40.
.macro PORT_TABLE key, r19, r20
  .byte key, $40, $40, key, $40, $40, key, $40
  .res 10, $40
  .byte r19, r20, $40, $40, $40, $40
.endmacro
pressed_4016:  PORT_TABLE $41, $00, $01
pressed_4017:  PORT_TABLE $41, $01, $00
pressed_both:                              ; each port's reads 1-12, in pairs
  .byte $41, $41, $40, $40, $40, $40, $41, $41, $40, $40, $40, $40
  .byte $41, $41, $40, $40
  .res 8, $40
released_4016: PORT_TABLE $40, $00, $01

; The pointer at the end of a page: a chip-style wrap would take the high byte
; from the page's first byte, $02, and run into the BRKs of zeroed RAM.
.align 256
  .byte $02
  .res 254, $FF
pointer:
  .word jmp_back

.segment "VECTORS"
  .word nmi, reset, irq

.segment "CHARS"
  .res $0120, 0
level_chr = $0120
  .byte $01, $02, $03, $05, $08, $0D, $15, $22, $37, $FF
