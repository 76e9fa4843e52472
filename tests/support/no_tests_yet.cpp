// Lets a layer link a test program before its first test file exists.
