; Start-up checks of a typical cartridge, which rely on the console's
; answers at the PPU data port and the controller port:
; - the data port answers one read late through a buffer: a throw-away read
;   after setting the address, then the data; the palette answers at once
;   and leaves the name-table byte beneath it in the buffer;
; - the mirroring is found by writing one name table and reading another;
; - the controller is strobed with $09 then $08: only bit 0 is the strobe.
; The test holds Z (button A) from the start.
.include "header.inc"
.include "check.inc"

PPUSTATUS = $2002
PPUADDR   = $2006
PPUDATA   = $2007

.macro PPU_ADDR addr
  bit PPUSTATUS
  lda #>(addr)
  sta PPUADDR
  lda #<(addr)
  sta PPUADDR
.endmacro

.macro PPU_WRITE addr, value
  PPU_ADDR addr
  lda #(value)
  sta PPUDATA
.endmacro

buf = $0300

.segment "CODE"

reset:
  CHECK_START
  ldx #$FF
  txs
  lda #0
  sta $2000
  sta $2001

  ; --- reading back a name table -----------------------------------------------
  PPU_WRITE $2000, $A5
  PPU_WRITE $2001, $C3
  PPU_WRITE $2400, $5A
  PPU_ADDR $2000
  EXPECT_M PPUDATA, $00, "first read after the address is the old buffer"
  EXPECT_M PPUDATA, $A5, "second read is $2000"
  EXPECT_M PPUDATA, $C3, "third read is $2001"
  ; vertical mirroring: $2800 is $2000 and $2400 stands apart
  PPU_ADDR $2800
  lda PPUDATA
  EXPECT_M PPUDATA, $A5, "$2800 mirrors $2000"
  PPU_ADDR $2400
  lda PPUDATA
  EXPECT_M PPUDATA, $5A, "$2400 is a table of its own"

  ; --- level data out of CHR-ROM, one throw-away read -----------------------------
  PPU_ADDR level_chr
  lda PPUDATA
  ldx #0
: lda PPUDATA
  sta buf,x
  inx
  cpx #level_end - level
  bne :-
  EXPECT_BYTES buf, level, level_end - level, "CHR data after a throw-away read"

  ; --- the palette answers at once ---------------------------------------------------
  PPU_WRITE $3F01, $21
  PPU_WRITE $2701, $77       ; beneath $3F01: $2F01, mirrored onto $2701
  PPU_ADDR $3F01
  EXPECT_M PPUDATA, $21, "palette read answers at once"
  PPU_ADDR $2000
  EXPECT_M PPUDATA, $77, "palette read leaves the name table beneath it"

  ; --- controller strobed with $09/$08 ---------------------------------------------
  lda #$09
  sta $4016
  lda #$08
  sta $4016
  ldx #0
: lda $4016
  and #$41
  sta buf,x
  inx
  cpx #8
  bne :-
  EXPECT_BYTES buf, buttons_a, 8, "buttons after a $09/$08 strobe"

  REPORT_PASS "port reads passed"

nmi:
irq:
  FAIL "unexpected interrupt"

buttons_a:
  .byte $41, $40, $40, $40, $40, $40, $40, $40

level:
  .byte $01, $02, $03, $05, $08, $0D, $15, $22, $37, $FF
level_end:

.segment "VECTORS"
  .word nmi, reset, irq

.segment "CHARS"
  .res $0120, 0
level_chr = $0120
  .byte $01, $02, $03, $05, $08, $0D, $15, $22, $37, $FF
