// Every stage keyword the reader honours, once or twice each.
textures/hall/water
{
	surfaceparm trans
	surfaceparm nolightmap
	cull none
	{
		map textures/hall/water1.tga
		blendFunc GL_SRC_ALPHA GL_ONE_MINUS_SRC_ALPHA
		alphaGen const 0.6
		rgbGen identityLighting
		tcMod turb 0 0.05 0 0.2
		tcMod scroll 0.02 -0.01
	}
	{
		clampMap textures/hall/water2.tga
		blendFunc add
		rgbGen wave sin 0.5 0.25 0 0.5
		tcMod scale 2 2
		tcMod rotate 12
		tcMod stretch triangle 1 0.1 0 0.25
		tcMod transform 1 0 0 1 0.5 0.5
		depthFunc equal
	}
}

textures/hall/sign
{
	{
		animMap 2 textures/hall/sign1.tga textures/hall/sign2.tga textures/hall/sign3.tga $whiteimage
		rgbGen vertex
		alphaGen oneMinusVertex
	}
	{
		map $lightmap
		blendFunc filter
		tcGen lightmap
	}
	{
		map textures/hall/chrome.tga
		tcGen environment
		blendFunc GL_DST_COLOR GL_ONE
		rgbGen const ( 0.5 0.25 1 )
		alphaGen portal 512
		detail
		depthWrite
	}
	{
		map $whiteimage
		tcGen vector ( 0.01 0 0 ) (0 0.01 0)
		rgbGen exactVertex
		alphaGen lightingSpecular
		blendFunc GL_SRC_ALPHA_SATURATE GL_ONE
	}
	{
		map textures/hall/glow.tga
		rgbGen oneMinusVertex
		rgbGen lightingDiffuse
		alphaGen wave noise 0.5 0.5 0 4
		alphaGen vertex
		alphaFunc LT128
	}
}
