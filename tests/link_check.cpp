// SPDX-License-Identifier: MIT
// Linked with the whole of one layer and only the layers below it: any call from that layer to a
// layer above it is an undefined reference, so the build fails.
int main() { return 0; }
