/* A DLL that one variant of the jvm.dll double imports, as a real jvm.dll
 * imports the C runtime that lies in the runtime's bin\ folder. */
__declspec(dllexport) int jvmDoubleHelper(void)
{
    return 42;
}
