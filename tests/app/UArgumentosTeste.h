#pragma once

// The test program's argc and argv as main() received them, before GoogleTest took its flags.
int ArgcOriginal();
char** ArgvOriginal();
