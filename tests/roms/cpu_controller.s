; The controller port at $4016/$4017: nothing before the first strobe; a
; strobe is a write with bit 0 set, then one with it clear; then eight buttons as $40/$41, $40 for reads
; 9-18, the signature 0/1 at $4016 and 1/0 at $4017 on reads 19 and 20, $40
; after; both addresses share one read counter.
; The test plays the keyboard: nothing pressed until after frame 2; Z (A),
; Return (Start) and Left pressed from frame 2 on; all released at frame 5.
; The program counts vertical blanks by polling $2002: the keys are down
; after the third and up again after the sixth.
.include "header.inc"
.include "check.inc"

READS = 24
buf         = $0300
vblanks     = $0700

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
  lda #0
  sta addr
.endmacro

.segment "CODE"

reset:
  CHECK_START
  ldx #$FF
  txs
  lda #0
  sta vblanks
  sta $2000

  ; --- before the first strobe ------------------------------------------------
  lda $4016
  sta save_a
  EXPECT_A $00, "$4016 before any strobe"
  lda $4017
  sta save_a
  EXPECT_A $00, "$4017 before any strobe"
  lda #0
  sta $4016
  lda $4016
  sta save_a
  EXPECT_A $00, "a 0 without a 1 is no strobe"
  lda #2
  sta $4016
  lda #0
  sta $4016
  lda $4016
  sta save_a
  EXPECT_A $00, "2 then 0 is no strobe"

  ; --- nothing pressed -----------------------------------------------------------
  STROBE $4016
  READ_PORT $4016, $4016
  EXPECT_BYTES buf, released_4016, READS, "$4016 reads, no key down"
  STROBE $4017
  READ_PORT $4017, $4017
  EXPECT_BYTES buf, released_4017, READS, "$4017 reads, no key down"
  STROBE $4016
  READ_PORT $4016, $4017
  EXPECT_BYTES buf, released_both, READS, "alternate reads, no key down"

  ; 1, 1, 0 is one strobe; a lone 0 does not restart the count
  STROBE $4016
  lda $4016
  lda $4016
  lda #1
  sta $4016
  sta $4016
  lda #0
  sta $4016
  READ_PORT $4016, $4016
  EXPECT_BYTES buf, released_4016, READS, "reads after 1, 1, 0"
  STROBE $4016
  ldx #0
: lda $4016              ; 17 reads, then a lone 0
  inx
  cpx #17
  bne :-
  lda #0
  sta $4016
  lda $4016              ; read 18
  sta buf
  lda $4016              ; read 19
  sta buf + 1
  lda $4016              ; read 20
  sta buf + 2
  EXPECT_BYTES buf, signature_4016, 3, "a lone 0 must not restart the count"

  ; --- A, Start and Left down -----------------------------------------------------
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

  ; --- all released again -----------------------------------------------------------
  REPORT_NOTE "waiting for vblank 6"
  lda #6
  jsr wait_vblanks
  STROBE $4016
  READ_PORT $4016, $4016
  EXPECT_BYTES buf, released_4016, READS, "$4016 reads after release"

  REPORT_PASS "controller port passed"

; Polls $2002 until vblanks reaches A. Fails after about 26 frames without a
; vertical blank.
wait_vblanks:
  sta count_target
@next:
  lda vblanks
  cmp count_target
  bcs @done
  ldx #0
  ldy #0
@poll:
  bit $2002
  bmi @seen
  inx
  bne @poll
  iny
  bne @poll
  jmp vblank_timeout
@seen:
  inc vblanks
  jmp @next
@done:
  rts
vblank_timeout:
  FAIL "vblank flag never set in $2002"

count_target = $0701

nmi:
irq:
  FAIL "unexpected interrupt"

; What READS reads give.
released_4016:
  .byte $40, $40, $40, $40, $40, $40, $40, $40
  .byte $40, $40, $40, $40, $40, $40, $40, $40, $40, $40
  .byte $00, $01, $40, $40, $40, $40
released_4017:
  .byte $40, $40, $40, $40, $40, $40, $40, $40
  .byte $40, $40, $40, $40, $40, $40, $40, $40, $40, $40
  .byte $01, $00, $40, $40, $40, $40
released_both:           ; read 19 at $4016, read 20 at $4017
  .byte $40, $40, $40, $40, $40, $40, $40, $40
  .byte $40, $40, $40, $40, $40, $40, $40, $40, $40, $40
  .byte $00, $00, $40, $40, $40, $40
signature_4016:          ; reads 18, 19, 20
  .byte $40, $00, $01
;        A    B    Sel  Start Up  Down Left Right
pressed_4016:
  .byte $41, $40, $40, $41, $40, $40, $41, $40
  .byte $40, $40, $40, $40, $40, $40, $40, $40, $40, $40
  .byte $00, $01, $40, $40, $40, $40
pressed_4017:
  .byte $41, $40, $40, $41, $40, $40, $41, $40
  .byte $40, $40, $40, $40, $40, $40, $40, $40, $40, $40
  .byte $01, $00, $40, $40, $40, $40
pressed_both:
  .byte $41, $40, $40, $41, $40, $40, $41, $40
  .byte $40, $40, $40, $40, $40, $40, $40, $40, $40, $40
  .byte $00, $00, $40, $40, $40, $40

.segment "VECTORS"
  .word nmi, reset, irq
