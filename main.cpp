// The program's entry point; the application core replaces this body with
// its start-up sequence.
int main() { return 0; }
