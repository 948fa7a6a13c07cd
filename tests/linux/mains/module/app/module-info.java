module app { }
