; Start-up checks of a cartridge, as the console answers them: the data port
; answers one read late (the palette at once, leaving the name-table byte
; beneath it in the buffer); the mirroring is found by writing one table and
; reading its mirror; CHR data are copied after a throw-away read; the pad is
; strobed with $09 then $08 (only bit 0 is the strobe). The test holds Z (A).
.include "gfx.inc"
.include "check.inc"

buf = $0300

.macro PPU_PUT addr, value
  PPU_ADDR addr
  lda #(value)
  sta PPUDATA
.endmacro

.segment "CODE"
reset:
  CHECK_START
  PPU_PUT $2000, $A5
  PPU_PUT $2400, $5A
  PPU_ADDR $2000
  EXPECT_M PPUDATA, $00, "first read after the address: the old buffer"
  EXPECT_M PPUDATA, $A5, "second read: $2000"
  PPU_ADDR $2800
  lda PPUDATA
  EXPECT_M PPUDATA, $A5, "$2800 mirrors $2000 (vertical)"
  PPU_ADDR $2400
  lda PPUDATA
  EXPECT_M PPUDATA, $5A, "$2400 is a table of its own"

  PPU_ADDR level_chr
  lda PPUDATA
  ldx #0
: lda PPUDATA
  sta buf,x
  inx
  cpx #level_end - level
  bne :-
  EXPECT_BYTES buf, level, level_end - level, "CHR data after a throw-away read"

  PPU_PUT $3F01, $21
  PPU_PUT $2701, $77       ; beneath $3F01: $2F01, mirrored onto $2701
  PPU_ADDR $3F01
  EXPECT_M PPUDATA, $21, "a palette read answers at once"
  PPU_ADDR $2000
  EXPECT_M PPUDATA, $77, "and leaves the name table beneath it"

  lda #$09
  sta $4016
  lda #$08
  sta $4016
  EXPECT_MASKED $4016, $41, $41, "A after a $09/$08 strobe", "$4016"
  EXPECT_MASKED $4016, $41, $40, "B after a $09/$08 strobe", "$4016"
  REPORT_PASS "port reads passed"

level:
  .byte $01, $02, $03, $05, $08, $0D, $15, $22, $37, $FF
level_end:

.segment "VECTORS"
  .word ignore_interrupt, reset, ignore_interrupt

.segment "CHARS"
  .res $0120, 0
level_chr = $0120
  .byte $01, $02, $03, $05, $08, $0D, $15, $22, $37, $FF
