; Runs into an opcode outside the instruction set ($02): emulation must stop
; right there. $6100/$6101 hold the opcode's address for the test; the
; status stays $80 because nothing after the opcode may run.
.include "header.inc"
.include "report.inc"

BAD_ADDR = $6100

.segment "CODE"

reset:
  REPORT_START
  lda #<bad_site
  sta BAD_ADDR
  lda #>bad_site
  sta BAD_ADDR + 1
  REPORT_NOTE "before the bad opcode"
bad_site:
  .byte $02
  REPORT_FAIL 1, "ran past the bad opcode"

nmi:
irq:
  REPORT_FAIL 2, "unexpected interrupt"

.segment "VECTORS"
  .word nmi, reset, irq
