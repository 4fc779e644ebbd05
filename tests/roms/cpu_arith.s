; ADC, SBC and the compares: results and the C, V, N, Z flags, every
; addressing mode, and binary arithmetic even with the decimal flag set.
; SED is executed exactly twice (the test counts its "SED!" messages).
.include "header.inc"
.include "check.inc"

.macro POKE addr, value
  lda #value
  sta addr
.endmacro

; One immediate ADC or SBC: carry in, A in, operand; then A and NVZC out.
; V is preset to the opposite of the expected V so that both ways count.
.macro ARITH_CASE insn, carry, a_in, m, a_out, flags_out, text
  .if (flags_out) & FLAG_V
    SET_P FLAG_5 | (carry)
  .else
    SET_P FLAG_5 | FLAG_V | (carry)
  .endif
  lda #a_in
  insn #m
  CAPTURE
  EXPECT_A a_out, text
  EXPECT_F flags_out, text
.endmacro

; One compare of a register with an immediate: the register is kept, V too.
.macro COMPARE_CASE load, insn, r_in, m, flags_out, text
  SET_P FLAG_5 | FLAG_V
  load #r_in
  insn #m
  CAPTURE
  EXPECT_F (flags_out) | FLAG_V, text
.endmacro

.segment "CODE"

reset:
  CHECK_START
  ldx #$FF
  txs

  ; --- ADC immediate ---------------------------------------------------------
  ARITH_CASE adc, 0, $50, $50, $A0, FLAG_N | FLAG_V,          "ADC $50+$50"
  ARITH_CASE adc, 0, $FF, $01, $00, FLAG_Z | FLAG_C,          "ADC $FF+$01"
  ARITH_CASE adc, 1, $01, $01, $03, 0,                        "ADC $01+$01+C"
  ARITH_CASE adc, 0, $7F, $01, $80, FLAG_N | FLAG_V,          "ADC $7F+$01"
  ARITH_CASE adc, 0, $80, $80, $00, FLAG_Z | FLAG_V | FLAG_C, "ADC $80+$80"
  ARITH_CASE adc, 0, $80, $FF, $7F, FLAG_V | FLAG_C,          "ADC $80+$FF"
  ARITH_CASE adc, 1, $FF, $FF, $FF, FLAG_N | FLAG_C,          "ADC $FF+$FF+C"
  ARITH_CASE adc, 0, $00, $00, $00, FLAG_Z,                   "ADC $00+$00"
  ARITH_CASE adc, 1, $7F, $80, $00, FLAG_Z | FLAG_C,          "ADC $7F+$80+C"
  ARITH_CASE adc, 0, $0F, $01, $10, 0,                        "ADC $0F+$01"

  ; --- SBC immediate ---------------------------------------------------------
  ARITH_CASE sbc, 1, $00, $01, $FF, FLAG_N,                   "SBC $00-$01"
  ARITH_CASE sbc, 1, $80, $01, $7F, FLAG_V | FLAG_C,          "SBC $80-$01"
  ARITH_CASE sbc, 1, $05, $03, $02, FLAG_C,                   "SBC $05-$03"
  ARITH_CASE sbc, 0, $05, $03, $01, FLAG_C,                   "SBC $05-$03-borrow"
  ARITH_CASE sbc, 1, $05, $05, $00, FLAG_Z | FLAG_C,          "SBC $05-$05"
  ARITH_CASE sbc, 1, $7F, $FF, $80, FLAG_N | FLAG_V,          "SBC $7F-$FF"
  ARITH_CASE sbc, 0, $00, $00, $FF, FLAG_N,                   "SBC $00-$00-borrow"
  ARITH_CASE sbc, 0, $01, $00, $00, FLAG_Z | FLAG_C,          "SBC $01-$00-borrow"
  ARITH_CASE sbc, 1, $FF, $7F, $80, FLAG_N | FLAG_C,          "SBC $FF-$7F"

  ; --- decimal flag: arithmetic stays binary ---------------------------------
  SET_P FLAG_5
  sed
  CAPTURE
  EXPECT_P FLAG_5 | FLAG_D, "SED sets D"
  clc
  lda #$09
  adc #$01
  CAPTURE
  EXPECT_A $0A, "ADC $09+$01 with D set"
  EXPECT_P FLAG_5 | FLAG_D, "ADC $09+$01 with D set"
  clc
  lda #$58
  adc #$46
  CAPTURE
  EXPECT_A $9E, "ADC $58+$46 with D set"
  EXPECT_F FLAG_N | FLAG_V, "ADC $58+$46 with D set"
  sec
  lda #$10
  sbc #$01
  CAPTURE
  EXPECT_A $0F, "SBC $10-$01 with D set"
  EXPECT_F FLAG_C, "SBC $10-$01 with D set"
  clc
  lda #$99
  adc #$01
  CAPTURE
  EXPECT_A $9A, "ADC $99+$01 with D set"
  EXPECT_F FLAG_N, "ADC $99+$01 with D set"
  SET_P FLAG_5 | FLAG_D | FLAG_N | FLAG_C
  cld
  CAPTURE
  EXPECT_P FLAG_5 | FLAG_N | FLAG_C, "CLD clears D"
  SET_P FLAG_5 | FLAG_C
  sed
  lda #$50
  adc #$49
  CAPTURE
  EXPECT_A $9A, "ADC $50+$49+C with D set"
  EXPECT_P FLAG_5 | FLAG_D | FLAG_N | FLAG_V, "ADC $50+$49+C with D set"
  cld

  ; --- ADC and SBC in every addressing mode -----------------------------------
  ; operand $22 at $0044, $0045 (zp,X), $0345, $0346 (abs,X), $0347 (abs,Y)
  ; and through pointers at $10 -> $0350 and $FF/$0100 -> $0360
  POKE $0044, $22
  POKE $0045, $23
  POKE $0345, $24
  POKE $0346, $25
  POKE $0347, $26
  POKE $0010, $50
  POKE $0011, $03
  POKE $0350, $27
  POKE $0352, $28
  POKE $00FF, $60
  POKE $0100, $03
  POKE $0000, $04
  POKE $0360, $29
  POKE $0362, $2A
  POKE $0460, $F0
  POKE $0462, $F1

  ldx #$01
  ldy #$02

  clc
  lda #$01
  adc $44
  CAPTURE
  EXPECT_A $23, "ADC zp"
  clc
  lda #$01
  adc $44,x
  CAPTURE
  EXPECT_A $24, "ADC zp,X"
  clc
  lda #$01
  adc $0345
  CAPTURE
  EXPECT_A $25, "ADC abs"
  clc
  lda #$01
  adc $0345,x
  CAPTURE
  EXPECT_A $26, "ADC abs,X"
  clc
  lda #$01
  adc $0345,y
  CAPTURE
  EXPECT_A $27, "ADC abs,Y"
  clc
  lda #$01
  ldx #$0F
  adc ($01,x)
  CAPTURE
  EXPECT_A $28, "ADC (zp,X)"
  clc
  lda #$01
  adc ($10),y
  CAPTURE
  EXPECT_A $29, "ADC (zp),Y"
  clc
  lda #$01
  ldx #$01
  adc ($FE,x)
  CAPTURE
  EXPECT_A $2A, "ADC (zp,X) pointer at $FF"
  clc
  lda #$01
  adc ($FF),y
  CAPTURE
  EXPECT_A $2B, "ADC ($FF),Y"

  ldx #$01
  sec
  lda #$30
  sbc $44
  CAPTURE
  EXPECT_A $0E, "SBC zp"
  sec
  lda #$30
  sbc $44,x
  CAPTURE
  EXPECT_A $0D, "SBC zp,X"
  sec
  lda #$30
  sbc $0345
  CAPTURE
  EXPECT_A $0C, "SBC abs"
  sec
  lda #$30
  sbc $0345,x
  CAPTURE
  EXPECT_A $0B, "SBC abs,X"
  sec
  lda #$30
  sbc $0345,y
  CAPTURE
  EXPECT_A $0A, "SBC abs,Y"
  sec
  lda #$30
  ldx #$0F
  sbc ($01,x)
  CAPTURE
  EXPECT_A $09, "SBC (zp,X)"
  sec
  lda #$30
  sbc ($10),y
  CAPTURE
  EXPECT_A $08, "SBC (zp),Y"
  sec
  lda #$30
  ldx #$01
  sbc ($FE,x)
  CAPTURE
  EXPECT_A $07, "SBC (zp,X) pointer at $FF"
  sec
  lda #$30
  sbc ($FF),y
  CAPTURE
  EXPECT_A $06, "SBC ($FF),Y"
  EXPECT_F FLAG_C, "SBC ($FF),Y"

  ; --- CMP, CPX, CPY -----------------------------------------------------------
  COMPARE_CASE lda, cmp, $10, $20, FLAG_N,          "CMP $10,$20"
  EXPECT_A $10, "CMP keeps A"
  COMPARE_CASE lda, cmp, $20, $20, FLAG_Z | FLAG_C, "CMP $20,$20"
  COMPARE_CASE lda, cmp, $20, $10, FLAG_C,          "CMP $20,$10"
  COMPARE_CASE lda, cmp, $80, $01, FLAG_C,          "CMP $80,$01"
  COMPARE_CASE lda, cmp, $01, $FF, 0,               "CMP $01,$FF"
  COMPARE_CASE lda, cmp, $00, $80, FLAG_N,          "CMP $00,$80"
  COMPARE_CASE lda, cmp, $FF, $00, FLAG_N | FLAG_C, "CMP $FF,$00"
  COMPARE_CASE ldx, cpx, $10, $20, FLAG_N,          "CPX $10,$20"
  EXPECT_X $10, "CPX keeps X"
  COMPARE_CASE ldx, cpx, $40, $40, FLAG_Z | FLAG_C, "CPX $40,$40"
  COMPARE_CASE ldx, cpx, $01, $FF, 0,               "CPX $01,$FF"
  COMPARE_CASE ldy, cpy, $10, $20, FLAG_N,          "CPY $10,$20"
  EXPECT_Y $10, "CPY keeps Y"
  COMPARE_CASE ldy, cpy, $80, $80, FLAG_Z | FLAG_C, "CPY $80,$80"
  COMPARE_CASE ldy, cpy, $FF, $00, FLAG_N | FLAG_C, "CPY $FF,$00"

  ; compares in the memory modes: each operand equals the register
  clv
  ldx #$01
  ldy #$02
  lda #$22
  cmp $44
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CMP zp"
  lda #$23
  cmp $44,x
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CMP zp,X"
  lda #$24
  cmp $0345
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CMP abs"
  lda #$25
  cmp $0345,x
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CMP abs,X"
  lda #$26
  cmp $0345,y
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CMP abs,Y"
  lda #$27
  ldx #$0F
  cmp ($01,x)
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CMP (zp,X)"
  lda #$28
  cmp ($10),y
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CMP (zp),Y"
  lda #$29
  ldx #$01
  cmp ($FE,x)
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CMP (zp,X) pointer at $FF"
  lda #$2A
  cmp ($FF),y
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CMP ($FF),Y"

  ldx #$22
  cpx $44
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CPX zp"
  ldx #$24
  cpx $0345
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CPX abs"
  ldy #$22
  cpy $44
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CPY zp"
  ldy #$24
  cpy $0345
  CAPTURE
  EXPECT_F FLAG_Z | FLAG_C, "CPY abs"
  ldy #$25
  cpy $0345
  CAPTURE
  EXPECT_F FLAG_C, "CPY abs greater"

  REPORT_PASS "ADC, SBC and compares passed"

nmi:
irq:
  FAIL "unexpected interrupt"

.segment "VECTORS"
  .word nmi, reset, irq
