; 8 x 8 sprites, flips, priority and overlap (see gfx_sprites.inc).
; Sprites hidden ($2001 bit 4 clear): background only.
SPRITE_MASK = MASK_BG
.include "gfx_sprites.inc"
