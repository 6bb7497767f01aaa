// The page's server on loopback: a path that does not decode gets 400 and
// the server keeps serving; paths outside its folder get 404.
'use strict';
const assert = require('assert');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const { serve } = require(process.argv[2]);

function get(port, rawPath) {
  return new Promise((resolve, reject) => {
    const request = http.request({ host: '127.0.0.1', port, path: rawPath, method: 'GET' },
      (response) => {
        const chunks = [];
        response.on('data', (chunk) => chunks.push(chunk));
        response.on('end', () => resolve({ status: response.statusCode,
          body: Buffer.concat(chunks).toString() }));
      });
    request.setTimeout(5000, () => request.destroy(new Error('no answer in 5 s')));
    request.on('error', reject);
    request.end();
  });
}

(async () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'serve-test-'));
  fs.writeFileSync(path.join(folder, 'index.html'), 'the page\n');
  const { server, port } = await serve(folder, 0);
  try {
    for (const bad of ['/%E0%A4%A', '/%', '/%zz', '/index.html%']) {
      assert.strictEqual((await get(port, bad)).status, 400, bad);
    }
    const page = await get(port, '/');
    assert.strictEqual(page.status, 200);
    assert.strictEqual(page.body, 'the page\n');
    assert.strictEqual((await get(port, '/..%2f..%2fetc%2fpasswd')).status, 404);
    assert.strictEqual((await get(port, '/missing.js')).status, 404);
    console.log('serve.js: 400 for undecodable paths, still serving');
  } finally {
    server.close();
    fs.rmSync(folder, { recursive: true, force: true });
  }
})().catch((error) => {
  console.error(error);
  process.exit(1);
});
