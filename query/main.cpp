// lookup: the query program.
#include "query/program.h"

int main(int argc, char** argv) { return query::程序入口(argc, argv); }
