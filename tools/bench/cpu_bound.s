; Benchmark: keeps the CPU busy with a mix of the common instruction kinds
; (loads, stores, arithmetic, shifts, branches, calls) and never touches the
; picture processor.
.include "header.inc"

.segment "ZEROPAGE"
counter: .res 2
ptr:     .res 2

.segment "CODE"
reset:
  ldx #$FF
  txs
  lda #$00
  sta ptr
  lda #$03
  sta ptr+1
loop:
  ldx #0
inner:
  lda $0300,x
  clc
  adc #3
  sta $0300,x
  eor counter
  asl a
  ror counter+1
  ldy #4
  lda (ptr),y
  ora #$11
  sta (ptr),y
  jsr helper
  inx
  bne inner
  inc counter
  bne loop
  inc counter+1
  jmp loop

helper:
  lda counter+1
  cmp #$40
  bcc :+
  and #$3F
:
  pha
  pla
  rts

nmi:
  rti

.segment "VECTORS"
  .word nmi, reset, nmi
