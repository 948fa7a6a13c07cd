#pragma once
// The arguments the system handed to main(); the Linux launcher takes them as
// they were split rather than splitting a command line of its own.
void rememberProcessArguments(int count, char** values);
// The same, for starting the executable again: argv, ending with null.
char** processArgumentValues();
