// Material keywords: sky with clouds, fog, deforms, sort, offsets, mipmaps.
textures/sky/clouds
{
	qer_editorimage textures/sky/clouds_ed.tga
	surfaceparm sky
	surfaceparm noimpact
	skyParms - 256 -
	{
		map textures/sky/layer1.tga
		tcMod scroll 0.01 0.005
	}
	{
		map textures/sky/layer2.tga
		blendFunc add
		tcMod scroll -0.02 0.01
		tcMod scale 3 3
	}
}

textures/fog/pit
{
	surfaceparm fog
	surfaceparm nonsolid
	fogparms ( 0.4 0.5 0.3 ) 200
	sort additive
}

textures/fx/flame
{
	deformVertexes autosprite
	deformVertexes autosprite2
	deformVertexes wave 64 sin 0 2 0 1
	deformVertexes move 0 0 4 square 0 1 0.5 2
	deformVertexes bulge 3 2 1
	deformVertexes normal 0.5 3
	polygonOffset
	sort 6
	nomipmaps
	nopicmip
	cull back
	{
		map textures/fx/flame.tga
		blendFunc add
		rgbGen wave inversesawtooth 0 1 0 8
	}
}
