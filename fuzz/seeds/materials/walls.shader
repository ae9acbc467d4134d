// Hand-written material script for the fuzzer.
textures/hall/wall
{
	qer_editorimage textures/hall/wall_ed.tga
	surfaceparm nolightmap
	{
		map $lightmap
		rgbGen identity
	}
	{
		map textures/hall/wall.tga
		blendFunc GL_DST_COLOR GL_ZERO
	}
}

textures/hall/grate
{
	cull none
	surfaceparm trans
	{
		clampMap textures/hall/grate.tga
		alphaFunc GE128
		depthWrite
	}
	{
		map $lightmap
		blendFunc filter
		depthFunc equal
	}
}
