; AND, ORA, EOR and BIT; the shifts and rotates on A and on memory;
; INC, DEC and the register increments; the flag instructions.
.include "header.inc"
.include "check.inc"

.macro POKE addr, value
  lda #value
  sta addr
.endmacro

; A logic instruction with an immediate operand; C and V must survive.
.macro LOGIC_CASE insn, a_in, m, a_out, flags_out, text
  SET_P FLAG_5 | FLAG_V | FLAG_C
  lda #a_in
  insn #m
  CAPTURE
  EXPECT_A a_out, text
  EXPECT_F (flags_out) | FLAG_V | FLAG_C, text
.endmacro

; A shift or rotate of A with a given carry in; V must survive.
.macro SHIFT_A_CASE insn, carry, a_in, a_out, flags_out, text
  SET_P FLAG_5 | FLAG_V | (carry)
  lda #a_in
  insn a
  CAPTURE
  EXPECT_A a_out, text
  EXPECT_F (flags_out) | FLAG_V, text
.endmacro

; A read-modify-write instruction on memory at addr (operand as written).
.macro RMW_CASE insn, operand, addr, carry, m_in, m_out, flags_out, text
  POKE addr, m_in
  SET_P FLAG_5 | (carry)
  insn operand
  CAPTURE
  EXPECT_M addr, m_out, text
  EXPECT_F flags_out, text
.endmacro

; A register increment or decrement.
.macro REG_CASE load, insn, r_in, r_out, flags_out, text, expect
  SET_P FLAG_5 | FLAG_V | FLAG_C
  load #r_in
  insn
  CAPTURE
  expect r_out, text
  EXPECT_F (flags_out) | FLAG_V | FLAG_C, text
.endmacro

.segment "CODE"

reset:
  CHECK_START
  ldx #$FF
  txs

  ; --- AND, ORA, EOR immediate ---------------------------------------------
  LOGIC_CASE and, $F0, $0F, $00, FLAG_Z, "AND $F0,$0F"
  LOGIC_CASE and, $F0, $B1, $B0, FLAG_N, "AND $F0,$B1"
  LOGIC_CASE and, $3C, $2F, $2C, 0,      "AND $3C,$2F"
  LOGIC_CASE ora, $00, $00, $00, FLAG_Z, "ORA $00,$00"
  LOGIC_CASE ora, $80, $01, $81, FLAG_N, "ORA $80,$01"
  LOGIC_CASE ora, $12, $21, $33, 0,      "ORA $12,$21"
  LOGIC_CASE eor, $FF, $FF, $00, FLAG_Z, "EOR $FF,$FF"
  LOGIC_CASE eor, $FF, $0F, $F0, FLAG_N, "EOR $FF,$0F"
  LOGIC_CASE eor, $55, $66, $33, 0,      "EOR $55,$66"

  ; --- the memory modes: operand $0F everywhere, A = $FF --------------------
  POKE $0044, $0F
  POKE $0045, $1E
  POKE $0345, $2D
  POKE $0346, $3C
  POKE $0347, $4B
  POKE $0010, $50
  POKE $0011, $03
  POKE $0350, $5A
  POKE $0352, $69
  POKE $00FF, $60
  POKE $0100, $03
  POKE $0000, $04
  POKE $0360, $78
  POKE $0362, $87
  ldx #$01
  ldy #$02

  lda #$FF
  and $44
  CAPTURE
  EXPECT_A $0F, "AND zp"
  lda #$FF
  and $44,x
  CAPTURE
  EXPECT_A $1E, "AND zp,X"
  lda #$FF
  and $0345
  CAPTURE
  EXPECT_A $2D, "AND abs"
  lda #$FF
  and $0345,x
  CAPTURE
  EXPECT_A $3C, "AND abs,X"
  lda #$FF
  and $0345,y
  CAPTURE
  EXPECT_A $4B, "AND abs,Y"
  lda #$FF
  ldx #$0F
  and ($01,x)
  CAPTURE
  EXPECT_A $5A, "AND (zp,X)"
  ldx #$01
  lda #$FF
  and ($10),y
  CAPTURE
  EXPECT_A $69, "AND (zp),Y"
  lda #$FF
  and ($FE,x)
  CAPTURE
  EXPECT_A $78, "AND (zp,X) pointer at $FF"
  lda #$FF
  and ($FF),y
  CAPTURE
  EXPECT_A $87, "AND ($FF),Y"

  lda #$00
  ora $44
  CAPTURE
  EXPECT_A $0F, "ORA zp"
  lda #$00
  ora $44,x
  CAPTURE
  EXPECT_A $1E, "ORA zp,X"
  lda #$00
  ora $0345
  CAPTURE
  EXPECT_A $2D, "ORA abs"
  lda #$00
  ora $0345,x
  CAPTURE
  EXPECT_A $3C, "ORA abs,X"
  lda #$00
  ora $0345,y
  CAPTURE
  EXPECT_A $4B, "ORA abs,Y"
  lda #$00
  ldx #$0F
  ora ($01,x)
  CAPTURE
  EXPECT_A $5A, "ORA (zp,X)"
  ldx #$01
  lda #$00
  ora ($10),y
  CAPTURE
  EXPECT_A $69, "ORA (zp),Y"
  lda #$00
  ora ($FE,x)
  CAPTURE
  EXPECT_A $78, "ORA (zp,X) pointer at $FF"
  lda #$00
  ora ($FF),y
  CAPTURE
  EXPECT_A $87, "ORA ($FF),Y"

  lda #$FF
  eor $44
  CAPTURE
  EXPECT_A $F0, "EOR zp"
  lda #$FF
  eor $44,x
  CAPTURE
  EXPECT_A $E1, "EOR zp,X"
  lda #$FF
  eor $0345
  CAPTURE
  EXPECT_A $D2, "EOR abs"
  lda #$FF
  eor $0345,x
  CAPTURE
  EXPECT_A $C3, "EOR abs,X"
  lda #$FF
  eor $0345,y
  CAPTURE
  EXPECT_A $B4, "EOR abs,Y"
  lda #$FF
  ldx #$0F
  eor ($01,x)
  CAPTURE
  EXPECT_A $A5, "EOR (zp,X)"
  ldx #$01
  lda #$FF
  eor ($10),y
  CAPTURE
  EXPECT_A $96, "EOR (zp),Y"
  lda #$FF
  eor ($FE,x)
  CAPTURE
  EXPECT_A $87, "EOR (zp,X) pointer at $FF"
  lda #$FF
  eor ($FF),y
  CAPTURE
  EXPECT_A $78, "EOR ($FF),Y"

  ; --- BIT ------------------------------------------------------------------
  POKE $0020, $C0
  POKE $0021, $01
  POKE $0022, $40
  POKE $0023, $80
  POKE $0420, $C0
  POKE $0421, $3F

  SET_P FLAG_5 | FLAG_C
  lda #$00
  bit $20
  CAPTURE
  EXPECT_A $00, "BIT keeps A"
  EXPECT_F FLAG_N | FLAG_V | FLAG_Z | FLAG_C, "BIT zp A=$00 M=$C0"
  SET_P FLAG_5 | FLAG_N | FLAG_V | FLAG_Z
  lda #$01
  bit $21
  CAPTURE
  EXPECT_F 0, "BIT zp A=$01 M=$01"
  SET_P FLAG_5
  lda #$FF
  bit $22
  CAPTURE
  EXPECT_F FLAG_V, "BIT zp A=$FF M=$40"
  SET_P FLAG_5
  lda #$7F
  bit $23
  CAPTURE
  EXPECT_F FLAG_N | FLAG_Z, "BIT zp A=$7F M=$80"
  SET_P FLAG_5
  lda #$C0
  bit $0420
  CAPTURE
  EXPECT_F FLAG_N | FLAG_V, "BIT abs A=$C0 M=$C0"
  SET_P FLAG_5 | FLAG_N | FLAG_V
  lda #$C0
  bit $0421
  CAPTURE
  EXPECT_F FLAG_Z, "BIT abs A=$C0 M=$3F"

  ; --- shifts and rotates on A ------------------------------------------------
  SHIFT_A_CASE asl, 0, $81, $02, FLAG_C,          "ASL A $81"
  SHIFT_A_CASE asl, 1, $40, $80, FLAG_N,          "ASL A $40 C=1"
  SHIFT_A_CASE asl, 0, $80, $00, FLAG_Z | FLAG_C, "ASL A $80"
  SHIFT_A_CASE lsr, 0, $01, $00, FLAG_Z | FLAG_C, "LSR A $01"
  SHIFT_A_CASE lsr, 1, $80, $40, 0,               "LSR A $80 C=1"
  SHIFT_A_CASE lsr, 0, $FF, $7F, FLAG_C,          "LSR A $FF"
  SHIFT_A_CASE rol, 1, $80, $01, FLAG_C,          "ROL A $80 C=1"
  SHIFT_A_CASE rol, 0, $40, $80, FLAG_N,          "ROL A $40 C=0"
  SHIFT_A_CASE rol, 0, $80, $00, FLAG_Z | FLAG_C, "ROL A $80 C=0"
  SHIFT_A_CASE rol, 1, $7F, $FF, FLAG_N,          "ROL A $7F C=1"
  SHIFT_A_CASE ror, 1, $00, $80, FLAG_N,          "ROR A $00 C=1"
  SHIFT_A_CASE ror, 0, $01, $00, FLAG_Z | FLAG_C, "ROR A $01 C=0"
  SHIFT_A_CASE ror, 1, $FF, $FF, FLAG_N | FLAG_C, "ROR A $FF C=1"
  SHIFT_A_CASE ror, 0, $02, $01, 0,               "ROR A $02 C=0"

  ; --- shifts and rotates on memory, every mode ------------------------------
  ldx #$05
  RMW_CASE asl, $30,      $0030, 0, $81, $02, FLAG_C,          "ASL zp"
  RMW_CASE asl, {$2B,x},  $0030, 0, $C0, $80, FLAG_N | FLAG_C, "ASL zp,X"
  RMW_CASE asl, $0430,    $0430, 0, $80, $00, FLAG_Z | FLAG_C, "ASL abs"
  RMW_CASE asl, {$042B,x}, $0430, 1, $21, $42, 0,              "ASL abs,X"
  RMW_CASE lsr, $30,      $0030, 0, $01, $00, FLAG_Z | FLAG_C, "LSR zp"
  RMW_CASE lsr, {$2B,x},  $0030, 1, $82, $41, 0,               "LSR zp,X"
  RMW_CASE lsr, $0430,    $0430, 0, $03, $01, FLAG_C,          "LSR abs"
  RMW_CASE lsr, {$042B,x}, $0430, 0, $FE, $7F, 0,              "LSR abs,X"
  RMW_CASE rol, $30,      $0030, 1, $80, $01, FLAG_C,          "ROL zp"
  RMW_CASE rol, {$2B,x},  $0030, 0, $40, $80, FLAG_N,          "ROL zp,X"
  RMW_CASE rol, $0430,    $0430, 0, $80, $00, FLAG_Z | FLAG_C, "ROL abs"
  RMW_CASE rol, {$042B,x}, $0430, 1, $00, $01, 0,              "ROL abs,X"
  RMW_CASE ror, $30,      $0030, 1, $00, $80, FLAG_N,          "ROR zp"
  RMW_CASE ror, {$2B,x},  $0030, 0, $01, $00, FLAG_Z | FLAG_C, "ROR zp,X"
  RMW_CASE ror, $0430,    $0430, 1, $03, $81, FLAG_N | FLAG_C, "ROR abs"
  RMW_CASE ror, {$042B,x}, $0430, 0, $80, $40, 0,              "ROR abs,X"
  ldx #$E0
  RMW_CASE asl, {$50,x},  $0030, 0, $11, $22, 0,               "ASL $50,X wraps in page zero"
  ldx #$40
  RMW_CASE rol, {$FFF0,x}, $0030, 1, $11, $23, 0,              "ROL $FFF0,X wraps past $FFFF"

  ; --- INC and DEC on memory ------------------------------------------------
  ldx #$05
  RMW_CASE inc, $30,      $0030, 0, $FF, $00, FLAG_Z,          "INC zp $FF"
  RMW_CASE inc, {$2B,x},  $0030, 1, $7F, $80, FLAG_N | FLAG_C, "INC zp,X $7F"
  RMW_CASE inc, $0430,    $0430, 0, $00, $01, 0,               "INC abs $00"
  RMW_CASE inc, {$042B,x}, $0430, 0, $FE, $FF, FLAG_N,         "INC abs,X $FE"
  RMW_CASE dec, $30,      $0030, 0, $01, $00, FLAG_Z,          "DEC zp $01"
  RMW_CASE dec, {$2B,x},  $0030, 1, $00, $FF, FLAG_N | FLAG_C, "DEC zp,X $00"
  RMW_CASE dec, $0430,    $0430, 0, $80, $7F, 0,               "DEC abs $80"
  RMW_CASE dec, {$042B,x}, $0430, 0, $81, $80, FLAG_N,         "DEC abs,X $81"
  ldx #$E0
  RMW_CASE inc, {$50,x},  $0030, 0, $41, $42, 0,               "INC $50,X wraps in page zero"
  ldx #$40
  RMW_CASE dec, {$FFF0,x}, $0030, 0, $41, $40, 0,              "DEC $FFF0,X wraps past $FFFF"

  ; --- register increments and decrements -------------------------------------
  REG_CASE ldx, inx, $FF, $00, FLAG_Z, "INX $FF", EXPECT_X
  REG_CASE ldx, inx, $7F, $80, FLAG_N, "INX $7F", EXPECT_X
  REG_CASE ldx, inx, $00, $01, 0,      "INX $00", EXPECT_X
  REG_CASE ldx, dex, $01, $00, FLAG_Z, "DEX $01", EXPECT_X
  REG_CASE ldx, dex, $00, $FF, FLAG_N, "DEX $00", EXPECT_X
  REG_CASE ldx, dex, $80, $7F, 0,      "DEX $80", EXPECT_X
  REG_CASE ldy, iny, $FF, $00, FLAG_Z, "INY $FF", EXPECT_Y
  REG_CASE ldy, iny, $7F, $80, FLAG_N, "INY $7F", EXPECT_Y
  REG_CASE ldy, dey, $01, $00, FLAG_Z, "DEY $01", EXPECT_Y
  REG_CASE ldy, dey, $00, $FF, FLAG_N, "DEY $00", EXPECT_Y

  ; --- flag instructions ------------------------------------------------------
  SET_P FLAG_5
  sec
  CAPTURE
  EXPECT_P FLAG_5 | FLAG_C, "SEC"
  SET_P $FF
  clc
  CAPTURE
  EXPECT_P $FF & ~FLAG_C, "CLC"
  SET_P $FF
  clv
  CAPTURE
  EXPECT_P $FF & ~FLAG_V, "CLV"
  SET_P FLAG_5
  sei
  CAPTURE
  EXPECT_P FLAG_5 | FLAG_I, "SEI"
  SET_P $FF
  cli
  CAPTURE
  EXPECT_P $FF & ~FLAG_I, "CLI"
  SET_P $FF
  cld
  CAPTURE
  EXPECT_P $FF & ~FLAG_D, "CLD"
  SET_P FLAG_5 | FLAG_N
  nop
  CAPTURE
  EXPECT_P FLAG_5 | FLAG_N, "NOP"

  REPORT_PASS "logic, shifts and increments passed"

nmi:
irq:
  FAIL "unexpected interrupt"

.segment "VECTORS"
  .word nmi, reset, irq
