#pragma once
// The console of a command-line program.
namespace os {

// Makes the console show what the program writes as UTF-8 (the program's
// texts are Portuguese), and stdout and stderr take the bytes as written:
// a line ends as the program ends it (the CSV with CR LF, messages with LF),
// never translated. Nothing to do where terminals are like that already.
void useUtf8Console();

} // namespace os
