; The CPU in the whole console.
; The controller port: nothing before the first strobe, and a write with bit 0
; clear is none; a write with bit 0 set then one with it clear strobes; then
; eight buttons as $40/$41, $40 for reads 9-18, 0/1 at $4016 and 1/0 at $4017
; on reads 19 and 20, $40 after, and both addresses share one count. The test
; holds Z (A), Return (Start) and Left from frame 2 to frame 5: they are down
; after the third vertical blank and up again after the sixth.
; The vblank flag and the NMI: a read of $2002 clears the flag; no NMI while
; bit 7 of $2000 is clear; with it set one per frame whatever I says, which
; pushes the status as stored (B, bit 5) and leaves I alone, and its handler
; finds the flag set.
; Last, SED and a JMP through a pointer at $xxFF warn once each, and an opcode
; outside the instruction set stops the console: the status stays $80 and
; $6100/$6101 hold the opcode's address.
.include "header.inc"
.include "check.inc"

READS      = 24
buf        = $0300
vblanks    = $0700
nmi_count  = $0701
nmi_p      = $0702       ; the status the last NMI pushed,
nmi_own    = $0703       ; the status in its handler
nmi_vblank = $0704       ; and $2002 read there
nmi_a      = $0705
count_seen = $0706
BAD_ADDR   = $6100

; Reads the port READS times into buf, alternating between addr1 and addr2.
.macro READ_PORT addr1, addr2
  .local loop
  ldx #0
loop:
  lda addr1
  sta buf,x
  inx
  lda addr2
  sta buf,x
  inx
  cpx #READS
  bne loop
.endmacro

.macro STROBE addr
  lda #1
  sta addr
  lsr a
  sta addr
.endmacro

.segment "CODE"

reset:
  CHECK_START
  ldx #$FF
  txs
  lda #0
  sta $2000
  sta vblanks
  sta nmi_count

  ; --- the controller port -----------------------------------------------------
  lda #2
  sta $4016
  lsr a
  sta $4016
  EXPECT_M $4016, $00, "$4016 before any strobe (2 then 0 written)"
  EXPECT_M $4017, $00, "$4017 before any strobe"
  REPORT_NOTE "waiting for vblank 3"
  lda #3
  jsr wait_vblanks
  STROBE $4016
  READ_PORT $4016, $4016
  EXPECT_BYTES buf, pressed_4016, READS, "$4016 reads, A Start Left down"
  STROBE $4016
  READ_PORT $4017, $4017
  EXPECT_BYTES buf, pressed_4017, READS, "$4017 reads, A Start Left down"
  STROBE $4017
  READ_PORT $4016, $4017
  EXPECT_BYTES buf, pressed_both, READS, "alternate reads, A Start Left down"
  REPORT_NOTE "waiting for vblank 6"
  lda #6
  jsr wait_vblanks
  STROBE $4016
  READ_PORT $4016, $4016
  EXPECT_BYTES buf, released_4016, READS, "$4016 reads after release"

  ; --- the vblank flag and the NMI ---------------------------------------------
  lda #7
  jsr wait_vblanks
  EXPECT_MASKED $2002, $80, $00, "a second read of $2002", "bit 7"
  lda #8
  jsr wait_vblanks
  EXPECT_M nmi_count, 0, "NMI while bit 7 of $2000 is clear"
  REPORT_NOTE "waiting for an NMI with I clear"
  lda #$20               ; the whole status byte
  pha
  plp
  lda #$80
  sta $2000
: lda nmi_count
  beq :-
  EXPECT_MASKED nmi_vblank, $80, $80, "vblank flag in the NMI handler", "$2002"
  EXPECT_MASKED nmi_p, $34, $20, "NMI with I clear pushed I, B, bit 5", "P"
  EXPECT_MASKED nmi_own, $34, $20, "I, B, bit 5 in its handler", "P"
  REPORT_NOTE "waiting for an NMI with I set"
  lda #$04
  pha
  plp
: lda nmi_count
  cmp #2
  bcc :-
  EXPECT_MASKED nmi_p, $34, $04, "NMI with I set, bit 5 clear pushed I, B, bit 5", "P"
  EXPECT_MASKED nmi_own, $34, $04, "I, B, bit 5 in its handler", "P"
  lda #0
  sta $2000
  lda nmi_count
  sta count_seen
  REPORT_NOTE "waiting for two frames with NMI off"
  lda #10
  jsr wait_vblanks
  lda nmi_count
  cmp count_seen
  beq :+
  FAIL "NMI after bit 7 of $2000 was cleared"
:
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
  REPORT_NOTE "before the bad opcode"
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

; READS reads of the port: the buttons A, Start and Left as key, $40 for the
; others and reads 9-18, r19 and r20, then $40.
.macro PORT_READS key, r19, r20
  .byte key, $40, $40, key, $40, $40, key, $40
  .res 10, $40
  .byte r19, r20, $40, $40, $40, $40
.endmacro
pressed_4016:  PORT_READS $41, $00, $01
pressed_4017:  PORT_READS $41, $01, $00
pressed_both:  PORT_READS $41, $00, $00   ; read 19 at $4016, read 20 at $4017
released_4016: PORT_READS $40, $00, $01

; The pointer at the end of a page: a chip-style wrap would take the high byte
; from the page's first byte, $02, and run into the BRKs of zeroed RAM.
.align 256
  .byte $02
  .res 254, $FF
pointer:
  .word jmp_back

.segment "VECTORS"
  .word nmi, reset, irq
