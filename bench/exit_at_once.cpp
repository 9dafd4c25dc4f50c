// Stands in for `perl` in the Apply benchmark: ends at once, whatever it is given.

int main() { return 0; }
