/* The floor of the install benchmark: a program that does nothing. */
int main(void) { return 0; }
