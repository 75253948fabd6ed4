// Runs the Khronos glTF validator on the files given and prints, for each, one line of JSON:
// the file and the counts of errors, warnings, infos and hints, and every message. Usage:
// NODE_PATH=<folder holding gltf-validator> node validate.js FILE...
const fs = require('fs');
const path = require('path');
const validator = require('gltf-validator');

async function main() {
    for (const file of process.argv.slice(2)) {
        const report = await validator.validateBytes(new Uint8Array(fs.readFileSync(file)), {
            uri: path.basename(file),
            maxIssues: 100,
            externalResourceFunction: () => Promise.reject(new Error('no external resources')),
        });
        const issues = report.issues;
        console.log(JSON.stringify({
            file: file,
            errors: issues.numErrors,
            warnings: issues.numWarnings,
            infos: issues.numInfos,
            hints: issues.numHints,
            messages: issues.messages.map(m => `${m.code} ${m.pointer || m.offset || ''}: ${m.message}`),
        }));
    }
}

main().catch(error => {
    console.error(String(error));
    process.exit(1);
});
