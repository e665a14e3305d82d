// Another copy of the program on the same database, for the tests of
// sharing: a process of its own that opens a connection and runs the
// statements it is sent, as a second desk would.
//
//   db_holder <connection string> shared|exclusive
//
// Prints "open" once the connection is open (or "error <message>"), then
// reads one statement per line from its standard input and answers each
// with "ok" or "error <message>" on a line of its own. Ends, closing the
// connection, at the end of its input.
#include <cstdio>
#include <iostream>
#include <string>

#include "ADODB.h"

namespace {

std::string oneLine(std::string s) {
    for (char& c : s)
        if (c == '\n' || c == '\r') c = ' ';
    return s;
}

void answer(const std::string& s) { std::cout << s << std::endl; }

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: db_holder <connection string> shared|exclusive\n";
        return 2;
    }
    TADOConnection connection;
    connection.SetConnectionString(argv[1]);
    connection.SetMode(std::string(argv[2]) == "exclusive" ? cmShareExclusive : cmShareDenyNone);
    try {
        connection.Open();
    } catch (const Exception& e) {
        answer("error " + oneLine(e.Message));
        return 1;
    }
    answer("open");
    std::string line;
    while (std::getline(std::cin, line)) {
        try {
            connection.Execute(line);
            answer("ok");
        } catch (const Exception& e) {
            answer("error " + oneLine(e.Message));
        }
    }
    return 0;
}
