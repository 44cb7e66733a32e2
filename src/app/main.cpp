// Program entry. The start-up sequence joins here as the main window's parts land.
int main() {
    return 0;
}
