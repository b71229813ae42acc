// A library for tests of where the program loads its libraries from: placed beside a test,
// it stands for one planted beside the program.
extern "C" __declspec(dllexport) int planted() {
    return 1;
}
