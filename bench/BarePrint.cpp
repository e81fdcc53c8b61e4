// The yardstick for zr5130ctl's own cost: a C++ program that prints one line
// and does nothing else, built with the same compiler and flags.
#include <iostream>

int main()
{
    std::cout << "30\n";
    return 0;
}
