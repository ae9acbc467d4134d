// Numbers as scripts write them, and numbers that are not: parentheses against digits, a
// trailing f, exponents, overflow, infinity, NaN, negative zero, words where numbers belong.
textures/odd/numbers
{
	fogparms (1 .5 -0) 1e39
	fogparms (0.5f 2 1) -0
	skyParms env/odd -0 -
	sort 1e-45
	deformVertexes wave 0 sin inf 1 0 1
	deformVertexes wave -0 sin 3e38 3e38 3e38 3e38
	deformVertexes move (1e38 -1e38 0) noise 1 1 1 1e38
	{
		rgbGen const (2 -1 nan)
		rgbGen const (2 -1 0.5)
		alphaGen const -3
		alphaGen portal -5
		tcMod scroll 1e38 -1e38
		tcMod rotate 3e38
		tcMod stretch sin 0 0 0 0
		tcMod turb 0 3e38 0 3e38
		tcMod transform 1 2 3 4 5
		tcMod scale x 2
		animMap 1e30 a b
	}
	{
		animMap -3 a b c d e f g h i j
		tcGen vector ( 1 2 3 ) ( 4 5
	}
}
