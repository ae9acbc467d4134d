// Keywords the viewer skips, and keywords only the compiler and the editor read.
textures/base/screen
{
	q3map_lightimage textures/base/screen_light.tga
	q3map_surfacelight 300
	qer_trans 0.5
	tessSize 128
	light 1
	entityMergable
	surfaceparm metalsteps
	portal
	cloudParms 512 full
	deformVertexes text0
	deformVertexes projectionShadow
	sort banana
	cull sideways
	{
		videoMap intro.roq
		rgbGen entity
		alphaGen oneMinusEntity
		tcGen sphere
		tcMod entityTranslate
		depthFunc greater
		alphaFunc GT128
		blendFunc mix
		map $fromblack
	}
}
