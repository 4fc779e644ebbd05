; 8 x 8 sprites, flips, priority and overlap (see gfx_sprites.inc).
; Both layers shown.
SPRITE_MASK = MASK_BG | MASK_SPR
.include "gfx_sprites.inc"
