a b {
}
