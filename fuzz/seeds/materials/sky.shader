textures/skies/dusk
{
	qer_editorimage textures/skies/dusk_ed.jpg
	surfaceparm sky
	surfaceparm noimpact
	skyParms env/dusk 512 -
	{
		animMap 4 textures/skies/cloud1.tga textures/skies/cloud2.tga
		blendFunc add
		tcMod scroll 0.01 0.02
	}
}
textures/common/clip { surfaceparm nodraw
surfaceparm playerclip }
textures/skies/none { skyParms - - - }
