a { }
b {
{
 map x.tga
