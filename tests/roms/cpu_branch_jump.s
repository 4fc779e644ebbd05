; Branches taken and not taken, forwards and backwards, at the offset
; limits; JMP absolute and indirect, with pointers ending in $FF taking their
; high byte from the next page; JSR and RTS.
; Exactly three JMP ($xxFF) are executed (the test counts their messages).
.include "header.inc"
.include "check.inc"

.macro POKE addr, value
  lda #value
  sta addr
.endmacro

; The branch must be taken with the status byte p.
.macro TAKEN insn, p, text
  .local ok
  SET_P p
  insn ok
  FAIL text
ok:
.endmacro

; The branch must not be taken with the status byte p.
.macro NOT_TAKEN insn, p, text
  .local bad, ok
  SET_P p
  insn bad
  jmp ok
bad:
  FAIL text
ok:
.endmacro

; Writes "JMP fail_target" at addr in RAM: a wrong indirect jump that lands
; there reports instead of running wild.
.macro TRAP_AT addr, fail_target
  POKE addr, $4C
  POKE addr + 1, <fail_target
  POKE addr + 2, >fail_target
.endmacro

; What the subroutines record.
sub_seen_lo = $0710
sub_seen_hi = $0711
sub_seen_sp = $0712
sub_depth   = $0713

; JMP (addr) written out, since the assembler warns about pointers ending
; in $FF, which are the point here.
.macro JMP_IND addr
  .byte $6C
  .word addr
.endmacro

.segment "CODE"

reset:
  CHECK_START
  ldx #$FF
  txs

  ; --- each branch both ways --------------------------------------------------
  TAKEN     bpl, FLAG_5,                   "BPL with N=0 not taken"
  NOT_TAKEN bpl, FLAG_5 | FLAG_N,          "BPL with N=1 taken"
  TAKEN     bmi, FLAG_5 | FLAG_N,          "BMI with N=1 not taken"
  NOT_TAKEN bmi, FLAG_5,                   "BMI with N=0 taken"
  TAKEN     bvc, FLAG_5,                   "BVC with V=0 not taken"
  NOT_TAKEN bvc, FLAG_5 | FLAG_V,          "BVC with V=1 taken"
  TAKEN     bvs, FLAG_5 | FLAG_V,          "BVS with V=1 not taken"
  NOT_TAKEN bvs, FLAG_5,                   "BVS with V=0 taken"
  TAKEN     bcc, FLAG_5,                   "BCC with C=0 not taken"
  NOT_TAKEN bcc, FLAG_5 | FLAG_C,          "BCC with C=1 taken"
  TAKEN     bcs, FLAG_5 | FLAG_C,          "BCS with C=1 not taken"
  NOT_TAKEN bcs, FLAG_5,                   "BCS with C=0 taken"
  TAKEN     bne, FLAG_5,                   "BNE with Z=0 not taken"
  NOT_TAKEN bne, FLAG_5 | FLAG_Z,          "BNE with Z=1 taken"
  TAKEN     beq, FLAG_5 | FLAG_Z,          "BEQ with Z=1 not taken"
  NOT_TAKEN beq, FLAG_5,                   "BEQ with Z=0 taken"
  ; each branch looks at its own flag only
  TAKEN     bpl, $FF & ~FLAG_N,            "BPL with all other flags set"
  TAKEN     bvc, $FF & ~FLAG_V,            "BVC with all other flags set"
  TAKEN     bcc, $FF & ~FLAG_C,            "BCC with all other flags set"
  TAKEN     bne, $FF & ~FLAG_Z,            "BNE with all other flags set"
  NOT_TAKEN bmi, $FF & ~FLAG_N,            "BMI with all other flags set"
  NOT_TAKEN bvs, $FF & ~FLAG_V,            "BVS with all other flags set"
  NOT_TAKEN bcs, $FF & ~FLAG_C,            "BCS with all other flags set"
  NOT_TAKEN beq, $FF & ~FLAG_Z,            "BEQ with all other flags set"

  ; branches change no flags
  SET_P FLAG_5 | FLAG_N | FLAG_C
  bmi :+
: CAPTURE
  EXPECT_P FLAG_5 | FLAG_N | FLAG_C, "taken BMI keeps flags"
  SET_P FLAG_5 | FLAG_N | FLAG_C
  bpl :+
: CAPTURE
  EXPECT_P FLAG_5 | FLAG_N | FLAG_C, "BPL not taken keeps flags"

  ; --- a backward loop -----------------------------------------------------
  ldx #5
  ldy #0
bj_loop:
  iny
  dex
  bne bj_loop
  CAPTURE
  EXPECT_X 0, "backward BNE loop: X"
  EXPECT_Y 5, "backward BNE loop: iterations"

  ; --- offset limits: +127 and -128 ------------------------------------------
  ; Bytes between a branch and its target are BRKs, which report.
  SET_P FLAG_5
  .byte $D0, $7F         ; BNE +127
  jmp bj_fwd_not_taken
  .res 124, $00
  jmp bj_fwd_ok            ; the target: 127 bytes after the branch's end
bj_fwd_not_taken:
  FAIL "BNE +127 not taken"
bj_fwd_ok:

  SET_P FLAG_5
  jmp bj_back_branch
bj_back_target:
  jmp bj_back_ok
  .res 123, $00
bj_back_branch:
  .byte $D0, $80         ; BNE -128
  FAIL "BNE -128 not taken"
bj_back_ok:

  ; --- branches across a page boundary ---------------------------------------
  jmp bj_cross_start
  .align 256
  .res $F3, $00
bj_cross_back:             ; page offset $F3
  jmp bj_cross_done
bj_cross_start:            ; page offset $F6
  SET_P FLAG_5 | FLAG_C
  bcs bj_cross_fwd         ; at offset $FA: from the end of a page into the next
  FAIL "BCS across a page not taken"
bj_cross_fwd:
  bcs bj_cross_back        ; back into the previous page
  FAIL "BCS back across a page not taken"
bj_cross_done:

  ; --- JMP absolute -----------------------------------------------------------
  jmp bj_jmp_ok
  FAIL "JMP abs fell through"
bj_jmp_ok:

  ; --- JMP indirect, pointer inside a page -----------------------------------
  POKE $0300, <bj_ind_ok
  POKE $0301, >bj_ind_ok
  jmp ($0300)
  FAIL "JMP ($0300) fell through"
bj_ind_ok:

  ; --- JMP ($02FF): low byte at $02FF, high byte at $0300 ---------------------
  ; A chip-style jump would take the high byte from $0200: $06, into a trap.
  POKE $02FF, <ind_page_ok
  POKE $0300, >ind_page_ok
  POKE $0200, $06
  TRAP_AT $0600 + <ind_page_ok, bad_ind_ram
  JMP_IND $02FF
  FAIL "JMP ($02FF) fell through"
bad_ind_ram:
  FAIL "JMP ($02FF) took its high byte from $0200"
ind_page_ok:

  ; --- JMP ($00FF): low byte at $00FF, high byte at $0100 ---------------------
  POKE $00FF, <ind_zp_ok
  POKE $0100, >ind_zp_ok
  POKE $0000, $06
  TRAP_AT $0600 + <ind_zp_ok, bad_ind_zp
  JMP_IND $00FF
  FAIL "JMP ($00FF) fell through"
bad_ind_zp:
  FAIL "JMP ($00FF) took its high byte from $0000"
ind_zp_ok:

  ; --- JMP through a pointer ending in $FF in cartridge space -----------------
  TRAP_AT $0600 + <ind_rom_ok, bad_ind_rom
  JMP_IND rom_pointer
  FAIL "JMP (rom $xxFF) fell through"
bad_ind_rom:
  FAIL "JMP (rom $xxFF) took its high byte from the same page"
ind_rom_ok:

  ; --- JSR and RTS --------------------------------------------------------------
  ldx #$FF
  txs
  lda #$5A
  ldx #$11
  ldy #$22
jsr_site:
  jsr sub_check_stack
  ; sub_check_stack returns here with A, X, Y as it found them
  CAPTURE
  EXPECT_A $5A, "JSR/RTS keep A"
  EXPECT_X $11, "JSR/RTS keep X"
  EXPECT_Y $22, "JSR/RTS keep Y"
  lda sub_seen_lo
  sta save_a
  EXPECT_A <(jsr_site + 2), "JSR pushed low byte"
  lda sub_seen_hi
  sta save_a
  EXPECT_A >(jsr_site + 2), "JSR pushed high byte"
  lda sub_seen_sp
  sta save_a
  EXPECT_A $FD, "SP inside the subroutine"
  tsx
  stx save_x
  EXPECT_X $FF, "SP after RTS"

  ; nested calls
  lda #0
  sta sub_depth
  jsr sub_outer
  lda sub_depth
  sta save_a
  EXPECT_A $03, "nested JSR/RTS"

  ; RTS adds one to the popped address: push target - 1 and return to it
  lda #>(rts_target - 1)
  pha
  lda #<(rts_target - 1)
  pha
  rts
  FAIL "RTS to a pushed address fell through"
rts_target:
  tsx
  stx save_x
  EXPECT_X $FF, "SP after RTS to a pushed address"

  ; JSR changes no flags
  SET_P FLAG_5 | FLAG_N | FLAG_C
  jsr sub_capture_p
  EXPECT_P FLAG_5 | FLAG_N | FLAG_C, "JSR keeps flags"

  REPORT_PASS "branches, jumps and calls passed"

; Records the return address on the stack and SP, keeps A, X and Y.
sub_check_stack:
  stx save_x
  tsx
  stx sub_seen_sp
  pha
  lda $0101,x
  sta sub_seen_lo
  lda $0102,x
  sta sub_seen_hi
  pla
  ldx save_x
  rts

sub_outer:
  inc sub_depth
  jsr sub_middle
  rts
sub_middle:
  inc sub_depth
  jsr sub_inner
  rts
sub_inner:
  inc sub_depth
  rts

sub_capture_p:
  php
  pla
  sta save_p
  rts

nmi:
  FAIL "unexpected NMI"
irq:
  FAIL "unexpected BRK"

; The pointer for JMP (rom_pointer): low byte at the end of a page, high
; byte at the start of the next; the page's first byte points into a trap.
.align 256
rom_page:
  .byte $06
  .res 254, $00
rom_pointer:
  .byte <ind_rom_ok
  .byte >ind_rom_ok

.segment "VECTORS"
  .word nmi, reset, irq
