; The background alone, no sprites: the scroll still reaches the address
; register at the end of vertical blank and at every line. Vertical
; mirroring, table A selected; X 100 (coarse 12, fine 4) runs into B on the
; right. Y 255 starts in A's attribute rows, shown as backdrop on line 0, and
; wraps to A's row 0 (not to B) from line 1. Sprite 0 still hits (Y 111),
; and the split's fine Y 2 then moves the rows 5 lines up.
MIRRORING = 1
NT_B      = $2400
TOP_CTRL  = $00
TOP_X     = 100
TOP_Y     = 255
SPLIT_X   = 100
SPLIT_Y   = 2
HIT_Y     = 111
MASK      = MASK_BG
.include "gfx_scroll.inc"
