; Benchmark: rendering on, and the name table, palette and scroll written
; about once per scanline, so the engine is told about a change every line.
.include "header.inc"

.segment "ZEROPAGE"
value: .res 1

.segment "CODE"
reset:
  ldx #$FF
  txs
  lda #%00000000
  sta $2000
  lda #%00011110          ; background and sprites shown
  sta $2001
loop:
  ldx #0
line:
  lda $2002               ; reset the address toggle
  lda #$20
  sta $2006
  stx $2006
  lda value
  sta $2007               ; one name-table byte
  inc value
  lda #$3F
  sta $2006
  lda #$01
  sta $2006
  lda value
  and #$3F
  sta $2007               ; one palette entry
  stx $2005
  lda #0
  sta $2005
  ; pad to about one scanline (114 cycles)
  ldy #9
:
  dey
  bne :-
  inx
  bne line
  jmp loop

nmi:
  rti

.segment "VECTORS"
  .word nmi, reset, nmi
