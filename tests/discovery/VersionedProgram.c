/* A program that does nothing; its builds carry the version resources that stand in for cl.exe and
 * devcpp.exe. */
int main(void)
{
    return 0;
}
