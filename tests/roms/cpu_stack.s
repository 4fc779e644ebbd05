; The state after reset; PHA, PLA, PHP, PLP with B and bit 5 stored like the
; other flags; TXS and TSX; a stack pointer that runs out of page 1 in both
; directions; BRK, which pushes its own address + 1, and RTI.
.include "header.inc"
.include "check.inc"

.macro POKE addr, value
  lda #value
  sta addr
.endmacro

; What reset left, saved before anything else runs.
reset_a  = $0700
reset_x  = $0701
reset_y  = $0702
reset_p  = $0703
reset_sp = $0704
; What the BRK handler saw.
brk_p    = $0710
brk_lo   = $0711
brk_hi   = $0712
brk_sp   = $0713
brk_own_p = $0714
brk_count = $0715
brk_saved_x = $0716
; What the stack below $0100 gave back.
low_sp   = $0720
pulled   = $0722

.segment "CODE"

reset:
  sta reset_a
  stx reset_x
  sty reset_y
  php                    ; status and SP exactly as reset left them
  tsx
  stx reset_sp
  pla
  sta reset_p

  CHECK_START

  ; --- after reset -------------------------------------------------------------
  EXPECT_M reset_a, $00, "A after reset"
  EXPECT_M reset_x, $00, "X after reset"
  EXPECT_M reset_y, $00, "Y after reset"
  EXPECT_M reset_p, $20, "status after reset (I clear, bit 5 set)"
  EXPECT_M reset_sp, $FE, "SP after reset and one push"

  ; --- PHA, PLA ----------------------------------------------------------------
  ldx #$FF
  txs
  lda #$11
  pha
  lda #$22
  pha
  lda #$33
  pha
  EXPECT_M $01FF, $11, "PHA at $01FF"
  EXPECT_M $01FE, $22, "PHA at $01FE"
  EXPECT_M $01FD, $33, "PHA at $01FD"
  tsx
  stx save_x
  EXPECT_X $FC, "SP after three PHA"
  SET_P FLAG_5 | FLAG_Z | FLAG_N    ; pushes one byte and pulls it again
  pla
  CAPTURE
  EXPECT_A $33, "PLA order 1"
  EXPECT_F 0, "PLA $33 clears N, Z"
  pla
  CAPTURE
  EXPECT_A $22, "PLA order 2"
  pla
  CAPTURE
  EXPECT_A $11, "PLA order 3"
  tsx
  stx save_x
  EXPECT_X $FF, "SP after three PLA"
  lda #$00
  pha
  lda #$80
  pha
  SET_P FLAG_5 | FLAG_Z
  pla
  CAPTURE
  EXPECT_A $80, "PLA $80"
  EXPECT_F FLAG_N, "PLA $80 sets N"
  SET_P FLAG_5 | FLAG_N
  pla
  CAPTURE
  EXPECT_F FLAG_Z, "PLA $00 sets Z"

  ; --- PLP, PHP: all eight bits, B and bit 5 included ------------------------
  lda #$00
  pha
  plp
  php
  pla
  sta save_a
  EXPECT_A $00, "PLP $00 then PHP"
  lda #$FF
  pha
  plp
  php
  pla
  sta save_a
  EXPECT_A $FF, "PLP $FF then PHP"
  lda #$30
  pha
  plp
  php
  pla
  sta save_a
  EXPECT_A $30, "PLP $30 then PHP"
  lda #$10
  pha
  plp
  php
  pla
  sta save_a
  EXPECT_A $10, "PLP $10 then PHP (B set, bit 5 clear)"
  lda #$CF
  pha
  plp
  php
  pla
  sta save_a
  EXPECT_A $CF, "PLP $CF then PHP"

  ; the flags loaded by PLP are the ones the branches see
  lda #$C3
  pha
  lda #$00               ; Z = 1, N = 0 before the PLP
  plp
  bmi :+
  FAIL "PLP $C3: N not loaded"
: bvs :+
  FAIL "PLP $C3: V not loaded"
: bcs :+
  FAIL "PLP $C3: C not loaded"
: beq :+
  FAIL "PLP $C3: Z not loaded"
: lda #$00
  pha
  lda #$FF               ; N = 1 before the PLP
  plp
  bpl :+
  FAIL "PLP $00: N not loaded"
: bne :+
  FAIL "PLP $00: Z not loaded"
:
  SET_P FLAG_5

  ; --- TXS, TSX -----------------------------------------------------------------
  SET_P FLAG_5 | FLAG_Z
  ldx #$80
  SET_P FLAG_5 | FLAG_Z
  txs
  CAPTURE                ; pushes at $0180
  EXPECT_P FLAG_5 | FLAG_Z, "TXS keeps flags"
  SET_P FLAG_5 | FLAG_Z
  tsx
  CAPTURE
  EXPECT_X $80, "TSX after TXS $80"
  EXPECT_F FLAG_N, "TSX $80 sets N"
  ldx #$00
  txs
  ldx #$55
  SET_P FLAG_5 | FLAG_N
  tsx
  CAPTURE
  EXPECT_X $00, "TSX after TXS $00"
  EXPECT_F FLAG_Z, "TSX $00 sets Z"
  ldx #$FF
  txs

  ; --- pushes below $0100 land in page zero, and pulls come back ---------------
  POKE $00FF, $00
  POKE $00FE, $00
  POKE $01FF, $EE
  ldx #$00
  txs                    ; SP = $0100
  lda #$AA
  pha                    ; writes $0100, SP = $00FF
  lda #$BB
  pha                    ; writes $00FF, SP = $00FE
  tsx
  stx low_sp
  lda #$CC
  pha                    ; writes $00FE, SP = $00FD
  pla
  sta pulled + 0
  pla
  sta pulled + 1
  pla
  sta pulled + 2
  tsx
  stx low_sp + 1
  ldx #$FF
  txs
  EXPECT_M $0100, $AA, "push with SP=$0100 writes $0100"
  EXPECT_M $00FF, $BB, "push with SP=$00FF writes $00FF"
  EXPECT_M $00FE, $CC, "push with SP=$00FE writes $00FE"
  EXPECT_M $01FF, $EE, "push below $0100 must not wrap to $01FF"
  EXPECT_M low_sp, $FE, "TSX with SP=$00FE"
  EXPECT_M pulled + 0, $CC, "pull from $00FE"
  EXPECT_M pulled + 1, $BB, "pull from $00FF"
  EXPECT_M pulled + 2, $AA, "pull from $0100"
  EXPECT_M low_sp + 1, $00, "SP after pulling back up to $0100"

  ; JSR and RTS across the bottom of page 1
  ldx #$00
  txs
stack_jsr_site:
  jsr sub_return_sp
  tsx
  stx save_y
  ldx #$FF
  txs
  EXPECT_M $0100, >(stack_jsr_site + 2), "JSR with SP=$0100: high byte at $0100"
  EXPECT_M $00FF, <(stack_jsr_site + 2), "JSR with SP=$0100: low byte at $00FF"
  EXPECT_X $FE, "SP inside a subroutine called with SP=$0100"
  EXPECT_Y $00, "SP after RTS from below $0100"

  ; --- a pull with SP=$01FF reads $0200 ----------------------------------------
  POKE $0200, $5C
  POKE $0100, $A7        ; where a page-1 wrap would read
  ldx #$FF
  txs
  pla
  sta save_a
  tsx
  stx save_x
  EXPECT_A $5C, "pull with SP=$01FF reads $0200"
  EXPECT_X $00, "SP after a pull from $01FF (low byte of $0200)"
  lda #$6D
  pha                    ; SP was $0200: writes $0200
  EXPECT_M $0200, $6D, "push with SP=$0200 writes $0200"
  tsx
  stx save_x
  EXPECT_X $FF, "SP back at $01FF"

  ; --- BRK and RTI ---------------------------------------------------------------
  ldx #$FF
  txs
  lda #0
  sta brk_count
  ldx #$00
  SET_P FLAG_5 | FLAG_C
brk_site:
  brk
  inx                    ; RTI returns here, right after the BRK opcode
  inx
  php
  stx save_x
  pla
  sta save_p
  EXPECT_X $02, "RTI after BRK returns to the byte after BRK"
  EXPECT_M brk_count, $01, "BRK handler entered once"
  EXPECT_M brk_lo, <(brk_site + 1), "BRK pushed PC low (BRK address + 1)"
  EXPECT_M brk_hi, >(brk_site + 1), "BRK pushed PC high"
  EXPECT_M brk_p, FLAG_5 | FLAG_B | FLAG_C, "BRK pushed status: B set, I as before"
  EXPECT_M brk_own_p, FLAG_5 | FLAG_B | FLAG_I | FLAG_C, "status inside BRK handler: I set"
  EXPECT_M brk_sp, $FC, "SP inside BRK handler"
  EXPECT_P FLAG_5 | FLAG_B | FLAG_C, "status after RTI: B stays set"
  tsx
  stx save_x
  EXPECT_X $FF, "SP after RTI"

  ; B stays set until a PLP or RTI clears it
  lda #$01
  clc
  php
  pla
  sta save_a
  EXPECT_A FLAG_5 | FLAG_B, "PHP after BRK pushes B"
  SET_P FLAG_5
  php
  pla
  sta save_a
  EXPECT_A FLAG_5, "PLP clears B again"

  ; BRK with bit 5 clear pushes it clear
  ldx #$00
  SET_P FLAG_V
brk_site2:
  brk
  inx
  EXPECT_M brk_p, FLAG_V | FLAG_B, "BRK with bit 5 clear pushes it clear"
  EXPECT_M brk_lo, <(brk_site2 + 1), "second BRK pushed PC low"
  EXPECT_M brk_count, $02, "BRK handler entered twice"
  SET_P FLAG_5

  ; RTI by hand: pulls status then PC, and adds nothing to PC
  lda #>rti_target
  pha
  lda #<rti_target
  pha
  lda #$C3
  pha
  lda #$00
  rti
  FAIL "RTI fell through"
rti_target:
  CAPTURE
  EXPECT_P $C3, "RTI loads the whole status byte"
  tsx
  stx save_x
  EXPECT_X $FF, "SP after RTI by hand"
  SET_P FLAG_5

  REPORT_PASS "stack, BRK and RTI passed"

; Returns with save_x = SP seen inside.
sub_return_sp:
  tsx
  stx save_x
  rts

; BRK handler: records the pushed status and PC, SP, and its own status;
; keeps X (A is free: the program reloads it).
irq:
  stx brk_saved_x
  php
  pla
  sta brk_own_p
  tsx
  stx brk_sp
  lda $0101,x
  sta brk_p
  lda $0102,x
  sta brk_lo
  lda $0103,x
  sta brk_hi
  inc brk_count
  ldx brk_saved_x
  rti

nmi:
  FAIL "unexpected NMI"

.segment "VECTORS"
  .word nmi, reset, irq
