; Vertical mirroring: tables A ($2000) and B ($2400) side by side.
; The frame selects $2400 (B) and scrolls X 100 (coarse 12, fine 4),
; Y 11 (coarse 1, fine 3); after the sprite-0 hit (Y 111) X becomes 213
; (coarse 26, fine 5) and Y 6, of which only the fine part (6) applies
; until the next frame.
MIRRORING = 1
NT_B      = $2400
TOP_CTRL  = $01
TOP_X     = 100
TOP_Y     = 11
SPLIT_X   = 213
SPLIT_Y   = 6
HIT_Y     = 111
.include "gfx_scroll.inc"
