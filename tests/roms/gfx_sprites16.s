; 8 x 16 sprites, flips, priority (see gfx_sprites.inc). Both layers shown.
SPRITE_MASK = MASK_BG | MASK_SPR
TALL = 1
.include "gfx_sprites.inc"
