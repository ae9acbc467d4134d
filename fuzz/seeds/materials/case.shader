Textures/Case/MIXED
{
	QER_EditorImage x.TGA
	CULL TwoSided
	{
		MAP $LIGHTMAP
		BLENDFUNC gl_one GL_ONE_MINUS_SRC_ALPHA
		ALPHAFUNC lt128
	}
	{ ClampMap $whiteimage
 BlendFunc BLEND
 AlphaFunc gt0 }
}
