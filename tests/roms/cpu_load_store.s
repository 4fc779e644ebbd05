; Loads, stores and register transfers in every addressing mode, with the
; wrap-arounds: zero page indexing stays in page zero, absolute indexing wraps
; past $FFFF, and a zero-page pointer at $FF takes its high byte from $0100.
.include "header.inc"
.include "check.inc"

; Data the tests read, placed so that a wrong address reads a different value.
PTR_FF_LO   = $34     ; at $00FF
PTR_FF_HI   = $04     ; at $0100: the pointer at $FF is $0434
PTR_FF_CHIP = $05     ; at $0000: where a chip-style wrap would point ($0534)

.macro POKE addr, value
  lda #value
  sta addr
.endmacro

.segment "CODE"

reset:
  CHECK_START
  ldx #$FF
  txs

  ; --- set up memory -------------------------------------------------------
  POKE $00FF, PTR_FF_LO
  POKE $0100, PTR_FF_HI
  POKE $0000, PTR_FF_CHIP
  POKE $0434, $C3
  POKE $0534, $11
  POKE $0436, $D5
  POKE $0536, $22
  POKE $0010, $5A
  POKE $0110, $A5
  POKE $0011, $6B
  ; pointer at $04 -> $0440, and at $0104 -> $0540 (no zero-page wrap)
  POKE $0004, $40
  POKE $0005, $04
  POKE $0104, $40
  POKE $0105, $05
  POKE $0440, $77
  POKE $0540, $88
  ; pointer at $40 -> $04F0 (page crossing with Y = $20 gives $0510)
  POKE $0040, $F0
  POKE $0041, $04
  POKE $0510, $99
  POKE $04F0, $E1
  ; pointer at $42 -> $FFF0 (wraps past $FFFF with Y = $20 to $0010)
  POKE $0042, $F0
  POKE $0043, $FF
  POKE $0020, $00
  POKE $0021, $80
  POKE $0300, $81
  POKE $0301, $01

  ; --- LDA -------------------------------------------------------------------
  SET_P FLAG_5 | FLAG_Z
  lda #$7F
  CAPTURE
  EXPECT_A $7F, "LDA #$7F"
  EXPECT_F 0, "LDA #$7F"

  SET_P FLAG_5 | FLAG_N | FLAG_V | FLAG_C
  lda #$00
  CAPTURE
  EXPECT_A $00, "LDA #0"
  EXPECT_F FLAG_V | FLAG_Z | FLAG_C, "LDA #0 keeps V, C"

  SET_P FLAG_5 | FLAG_Z
  lda #$80
  CAPTURE
  EXPECT_F FLAG_N, "LDA #$80"

  SET_P FLAG_5
  lda $10
  CAPTURE
  EXPECT_A $5A, "LDA zp"

  ldx #$01
  lda $10,x
  CAPTURE
  EXPECT_A $6B, "LDA zp,X"

  ldx #$90
  lda $80,x
  CAPTURE
  EXPECT_A $5A, "LDA $80,X wraps in page zero"

  lda a:$0010
  CAPTURE
  EXPECT_A $5A, "LDA abs"

  ldx #$01
  lda $0433,x
  CAPTURE
  EXPECT_A $C3, "LDA abs,X"

  ldx #$20
  lda $04F0,x
  CAPTURE
  EXPECT_A $99, "LDA abs,X across a page"

  ldx #$20
  lda $FFF0,x
  CAPTURE
  EXPECT_A $5A, "LDA $FFF0,X wraps past $FFFF"

  ldy #$02
  lda $0434,y
  CAPTURE
  EXPECT_A $D5, "LDA abs,Y"

  ldy #$11
  lda $FFFF,y
  CAPTURE
  EXPECT_A $5A, "LDA $FFFF,Y wraps past $FFFF"

  ldx #$00
  lda ($04,x)
  CAPTURE
  EXPECT_A $77, "LDA (zp,X)"

  ldx #$14
  lda ($F0,x)
  CAPTURE
  EXPECT_A $77, "LDA ($F0,X) pointer index wraps in page zero"

  ldx #$01
  lda ($FE,x)
  CAPTURE
  EXPECT_A $C3, "LDA (zp,X) pointer at $FF: high from $0100"

  ldy #$00
  lda ($40),y
  CAPTURE
  EXPECT_A $E1, "LDA (zp),Y"

  ldy #$20
  lda ($40),y
  CAPTURE
  EXPECT_A $99, "LDA (zp),Y across a page"

  ldy #$02
  lda ($FF),y
  CAPTURE
  EXPECT_A $D5, "LDA ($FF),Y pointer high from $0100"

  ldy #$20
  lda ($42),y
  CAPTURE
  EXPECT_A $5A, "LDA (zp),Y wraps past $FFFF"

  ; work RAM is seen again at $0800, $1000 and $1800
  lda $0810
  CAPTURE
  EXPECT_A $5A, "LDA $0810 mirrors $0010"
  lda $1810
  CAPTURE
  EXPECT_A $5A, "LDA $1810 mirrors $0010"

  ; --- LDX -------------------------------------------------------------------
  SET_P FLAG_5 | FLAG_N | FLAG_V | FLAG_C
  ldx #$00
  CAPTURE
  EXPECT_X $00, "LDX #0"
  EXPECT_F FLAG_V | FLAG_Z | FLAG_C, "LDX #0"

  SET_P FLAG_5 | FLAG_Z
  ldx #$C3
  CAPTURE
  EXPECT_X $C3, "LDX #$C3"
  EXPECT_F FLAG_N, "LDX #$C3"

  ldx $10
  CAPTURE
  EXPECT_X $5A, "LDX zp"

  ldy #$01
  ldx $10,y
  CAPTURE
  EXPECT_X $6B, "LDX zp,Y"

  ldy #$90
  ldx $80,y
  CAPTURE
  EXPECT_X $5A, "LDX $80,Y wraps in page zero"

  ldx $0434
  CAPTURE
  EXPECT_X $C3, "LDX abs"

  ldy #$02
  ldx $0434,y
  CAPTURE
  EXPECT_X $D5, "LDX abs,Y"

  ldy #$11
  ldx $FFFF,y
  CAPTURE
  EXPECT_X $5A, "LDX $FFFF,Y wraps past $FFFF"

  ; --- LDY -------------------------------------------------------------------
  SET_P FLAG_5 | FLAG_N | FLAG_V | FLAG_C
  ldy #$00
  CAPTURE
  EXPECT_Y $00, "LDY #0"
  EXPECT_F FLAG_V | FLAG_Z | FLAG_C, "LDY #0"

  SET_P FLAG_5 | FLAG_Z
  ldy #$80
  CAPTURE
  EXPECT_F FLAG_N, "LDY #$80"

  ldy $10
  CAPTURE
  EXPECT_Y $5A, "LDY zp"

  ldx #$90
  ldy $80,x
  CAPTURE
  EXPECT_Y $5A, "LDY $80,X wraps in page zero"

  ldy $0434
  CAPTURE
  EXPECT_Y $C3, "LDY abs"

  ldx #$02
  ldy $0434,x
  CAPTURE
  EXPECT_Y $D5, "LDY abs,X"

  ldx #$20
  ldy $FFF0,x
  CAPTURE
  EXPECT_Y $5A, "LDY $FFF0,X wraps past $FFFF"

  ; --- STA: no flag changes, every mode ---------------------------------------
  LOAD_A_P $12, FLAG_5 | FLAG_N | FLAG_V | FLAG_Z | FLAG_C
  sta $30
  CAPTURE
  EXPECT_P FLAG_5 | FLAG_N | FLAG_V | FLAG_Z | FLAG_C, "STA zp keeps flags"
  EXPECT_M $0030, $12, "STA zp"

  LOAD_A_P $00, FLAG_5
  sta $31
  CAPTURE
  EXPECT_P FLAG_5, "STA of 0 keeps flags"

  POKE $0110, $A5
  lda #$34
  ldx #$20
  sta $F0,x
  EXPECT_M $0010, $34, "STA $F0,X wraps in page zero"
  EXPECT_M $0110, $A5, "STA $F0,X must not reach $0110"

  lda #$45
  sta $0450
  EXPECT_M $0450, $45, "STA abs"

  lda #$46
  ldx #$30
  sta $04F0,x
  EXPECT_M $0520, $46, "STA abs,X across a page"

  lda #$47
  ldx #$21
  sta $FFF0,x
  EXPECT_M $0011, $47, "STA $FFF0,X wraps past $FFFF"

  lda #$48
  ldy #$05
  sta $0450,y
  EXPECT_M $0455, $48, "STA abs,Y"

  lda #$49
  ldy #$12
  sta $FFFF,y
  EXPECT_M $0011, $49, "STA $FFFF,Y wraps past $FFFF"

  lda #$4A
  ldx #$00
  sta ($04,x)
  EXPECT_M $0440, $4A, "STA (zp,X)"

  lda #$4B
  ldx #$01
  sta ($FE,x)
  EXPECT_M $0434, $4B, "STA (zp,X) pointer at $FF: high from $0100"
  EXPECT_M $0534, $11, "STA (zp,X) pointer at $FF must not use $0000"

  lda #$4C
  ldy #$20
  sta ($40),y
  EXPECT_M $0510, $4C, "STA (zp),Y across a page"

  lda #$4D
  ldy #$03
  sta ($FF),y
  EXPECT_M $0437, $4D, "STA ($FF),Y pointer high from $0100"
  EXPECT_M $0537, $00, "STA ($FF),Y must not use $0000"

  lda #$4E
  ldy #$22
  sta ($42),y
  EXPECT_M $0012, $4E, "STA (zp),Y wraps past $FFFF"

  ; --- STX, STY ----------------------------------------------------------------
  ldx #$81
  SET_P FLAG_5 | FLAG_Z
  stx $32
  CAPTURE
  EXPECT_P FLAG_5 | FLAG_Z, "STX keeps flags"
  EXPECT_M $0032, $81, "STX zp"

  ldx #$82
  ldy #$90
  stx $83,y
  EXPECT_M $0013, $82, "STX $83,Y wraps in page zero"

  ldx #$83
  stx $0460
  EXPECT_M $0460, $83, "STX abs"

  ldy #$84
  SET_P FLAG_5 | FLAG_Z
  sty $33
  CAPTURE
  EXPECT_P FLAG_5 | FLAG_Z, "STY keeps flags"
  EXPECT_M $0033, $84, "STY zp"

  ldy #$85
  ldx #$91
  sty $83,x
  EXPECT_M $0014, $85, "STY $83,X wraps in page zero"

  ldy #$86
  sty $0461
  EXPECT_M $0461, $86, "STY abs"

  ; --- transfers -----------------------------------------------------------
  SET_P FLAG_5 | FLAG_V | FLAG_C
  lda #$00
  ldx #$55
  tax
  CAPTURE
  EXPECT_X $00, "TAX"
  EXPECT_F FLAG_V | FLAG_Z | FLAG_C, "TAX 0"

  lda #$90
  tay
  CAPTURE
  EXPECT_Y $90, "TAY"
  EXPECT_F FLAG_V | FLAG_N | FLAG_C, "TAY $90"

  ldx #$7E
  lda #$00
  txa
  CAPTURE
  EXPECT_A $7E, "TXA"
  EXPECT_F FLAG_V | FLAG_C, "TXA $7E"

  ldy #$00
  lda #$01
  tya
  CAPTURE
  EXPECT_A $00, "TYA"
  EXPECT_F FLAG_V | FLAG_Z | FLAG_C, "TYA 0"

  ldx #$FF
  ldy #$01
  lda #$80
  tax
  tay
  CAPTURE
  EXPECT_X $80, "TAX $80"
  EXPECT_Y $80, "TAY $80"
  EXPECT_F FLAG_N | FLAG_V | FLAG_C, "TAY $80"

  REPORT_PASS "loads, stores and transfers passed"

nmi:
irq:
  FAIL "unexpected interrupt"

.segment "VECTORS"
  .word nmi, reset, irq
