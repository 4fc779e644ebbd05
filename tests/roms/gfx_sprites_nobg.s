; 8 x 8 sprites, flips, priority and overlap (see gfx_sprites.inc).
; Background hidden ($2001 bit 3 clear): sprites only.
SPRITE_MASK = MASK_SPR
.include "gfx_sprites.inc"
