// The program's entry point: everything happens in GameMain.
#include "GameMain.h"

int main() { return GameMain(); }
