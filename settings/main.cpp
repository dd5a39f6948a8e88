// 设置: the settings program.
#include "settings/program.h"

int main(int argc, char** argv) { return settings::程序入口(argc, argv); }
