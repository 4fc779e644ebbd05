; The vertical-blank flag in $2002 and the NMI: no NMI while bit 7 of $2000
; is clear; with it set one NMI per frame, taken whatever I says, which pushes
; the interrupted PC and the status with B and bit 5 as stored, leaves I
; alone, and finds the vblank flag set.
.include "header.inc"
.include "check.inc"

nmi_count   = $0700
nmi_saved_a = $0701
nmi_saved_x = $0702
nmi_saved_y = $0703
count_seen  = $0704
pc_offset   = $0705
; per NMI, the first eight: pushed status, pushed PC, $2002, own status
rec_p       = $0710
rec_lo      = $0718
rec_hi      = $0720
rec_status  = $0728
rec_own     = $0730

; NMI number n (0-based) interrupted the wait loop: its pushed PC lies in
; wait_loop..wait_loop_end.
.macro EXPECT_PC_IN_WAIT n, text
  .local bad, ok
  lda rec_lo + n
  sec
  sbc #<wait_loop
  sta pc_offset
  lda rec_hi + n
  sbc #>wait_loop
  bne bad
  lda pc_offset
  cmp #<(wait_loop_end - wait_loop)
  bcc ok
bad:
  FAIL text
ok:
.endmacro

.segment "CODE"

reset:
  CHECK_START
  ldx #$FF
  txs
  lda #0
  sta nmi_count
  sta $2000

  ; --- NMI off: the flag comes and a read clears it ----------------------------
  REPORT_NOTE "waiting for the vblank flag"
  jsr wait_vblank
  bcc :+
  FAIL "vblank flag never set in $2002"
: lda $2002
  sta save_a
  EXPECT_MASKED save_a, $80, $00, "second read of $2002", "bit 7"
  jsr wait_vblank
  bcc :+
  FAIL "vblank flag not set again a frame later"
: EXPECT_M nmi_count, 0, "NMI taken while bit 7 of $2000 is clear"

  ; --- NMI on, I clear, bit 5 set ----------------------------------------------
  REPORT_NOTE "waiting for NMI 2"
  SET_P FLAG_5
  lda #$80
  sta $2000
  lda #2
  jsr wait_nmi
  bcs :+
  FAIL "no NMI with bit 7 of $2000 set"
:
  ; --- NMI on, I set, bit 5 clear: NMIs go on -----------------------------------
  REPORT_NOTE "waiting for NMI 4 with I set"
  SET_P FLAG_I
  lda #4
  jsr wait_nmi
  php
  pla
  sta save_p
  SET_P FLAG_5
  lda save_p
  and #FLAG_C
  bne :+
  FAIL "no NMI with I set"
:
  ; --- NMI off again -------------------------------------------------------------
  lda #$00
  sta $2000
  lda nmi_count
  sta count_seen
  REPORT_NOTE "waiting for two frames with NMI off"
  jsr wait_vblank
  jsr wait_vblank
  bcc :+
  FAIL "vblank flag stopped after NMIs"
: lda nmi_count
  cmp count_seen
  beq :+
  FAIL "NMI taken after bit 7 of $2000 was cleared"
:
  ; --- what each handler saw -------------------------------------------------------
  EXPECT_MASKED rec_status + 0, $80, $80, "vblank flag in NMI 1", "$2002"
  EXPECT_MASKED rec_status + 1, $80, $80, "vblank flag in NMI 2", "$2002"
  EXPECT_MASKED rec_status + 2, $80, $80, "vblank flag in NMI 3", "$2002"
  EXPECT_MASKED rec_status + 3, $80, $80, "vblank flag in NMI 4", "$2002"
  EXPECT_MASKED rec_p + 1, FLAG_5 | FLAG_B | FLAG_I, FLAG_5, "NMI 2 pushed status (bit 5, B, I)", "P"
  EXPECT_MASKED rec_own + 1, FLAG_5 | FLAG_B | FLAG_I, FLAG_5, "status in NMI 2 handler (I not set by NMI)", "P"
  EXPECT_MASKED rec_p + 3, FLAG_5 | FLAG_B | FLAG_I, FLAG_I, "NMI 4 pushed status (bit 5 clear, I set)", "P"
  EXPECT_MASKED rec_own + 3, FLAG_5 | FLAG_B | FLAG_I, FLAG_I, "status in NMI 4 handler", "P"
  EXPECT_PC_IN_WAIT 1, "NMI 2 pushed a PC outside the wait loop"
  EXPECT_PC_IN_WAIT 3, "NMI 4 pushed a PC outside the wait loop"
  ; the status pushed by NMI 2 is the one RTI restores: compare with the
  ; flags the wait loop can produce (N, Z, C from its CMP)
  EXPECT_MASKED rec_p + 1, FLAG_V | FLAG_D, 0, "NMI 2 pushed V or D", "P"

  REPORT_PASS "vblank flag and NMI passed"

; Polls $2002 until bit 7 is set. C = 0 when seen, C = 1 after about 26
; frames without it.
wait_vblank:
  ldx #0
  ldy #0
: bit $2002
  bmi :+
  inx
  bne :-
  iny
  bne :-
  sec
  rts
: clc
  rts

; Waits until nmi_count >= A. C = 1 when reached, C = 0 after about 30
; frames without it. Keeps the status bits other than N, Z and C.
wait_nmi:
  sta count_seen
  ldx #0
  ldy #0
wait_loop:
  lda nmi_count
  cmp count_seen
  bcs wait_done
  inx
  bne wait_loop
  iny
  bne wait_loop
wait_loop_end:
  clc
wait_done:
  rts

; Records what it sees for the first eight NMIs, counts them, keeps A, X, Y.
nmi:
  sta nmi_saved_a
  stx nmi_saved_x
  sty nmi_saved_y
  php
  pla
  ldy nmi_count
  cpy #8
  bcs @counted
  sta rec_own,y
  tsx
  lda $0101,x
  sta rec_p,y
  lda $0102,x
  sta rec_lo,y
  lda $0103,x
  sta rec_hi,y
  lda $2002
  sta rec_status,y
@counted:
  inc nmi_count
  lda nmi_saved_a
  ldx nmi_saved_x
  ldy nmi_saved_y
  rti

irq:
  FAIL "unexpected BRK"

.segment "VECTORS"
  .word nmi, reset, irq
