/* block
comment */ a{{map a.tga}}b /* x */ {
{ map b.tga // c
}
} /* left open
c { }