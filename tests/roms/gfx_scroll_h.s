; Horizontal mirroring: table A at $2000 (= $2400), table B at $2800
; (= $2C00), one above the other.
; The frame selects $2800 (B) and scrolls X 45 (coarse 5, fine 5), Y 100
; (coarse 12, fine 4), so the rows run from B into A part way down; after
; the sprite-0 hit (Y 167) X becomes 0 and fine Y 2.
MIRRORING = 0
NT_B      = $2800
TOP_CTRL  = $02
TOP_X     = 45
TOP_Y     = 100
SPLIT_X   = 0
SPLIT_Y   = 2
HIT_Y     = 167
.include "gfx_scroll.inc"
