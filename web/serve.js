// Serves the built page (index.html, fighter.js, fighter.wasm, fighter.data)
// from one folder, gzip-compressed for browsers that accept it, as a web
// server would send it.  Counts the bytes sent per file, for the download
// budget of the browser test.
//
//   node web/serve.js FOLDER [PORT]     (default port 8000, localhost only)
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');

const types = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
  '.png': 'image/png',
};

// Starts serving `folder` on 127.0.0.1:`port` (0: any free port); resolves
// to { server, port, sent } where sent maps each path to the bytes sent.
function serve(folder, port) {
  const root = path.resolve(folder);
  const compressed = new Map();
  const sent = new Map();
  const server = http.createServer((request, response) => {
    // A path that does not decode (a stray or cut "%" escape) is the
    // client's fault: it gets 400, and the server goes on serving.
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch (error) {
      response.writeHead(400, { 'Content-Type': 'text/plain' });
      response.end('bad request\n');
      return;
    }
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404, { 'Content-Type': 'text/plain' });
      response.end('not found\n');
      return;
    }
    let body = fs.readFileSync(file);
    const headers = {
      'Content-Type': types[path.extname(file)] || 'application/octet-stream',
      'Cache-Control': 'no-cache',
    };
    if (/\bgzip\b/.test(request.headers['accept-encoding'] || '')) {
      const key = file + ':' + fs.statSync(file).mtimeMs;
      if (!compressed.has(key)) compressed.set(key, zlib.gzipSync(body, { level: 9 }));
      body = compressed.get(key);
      headers['Content-Encoding'] = 'gzip';
    }
    headers['Content-Length'] = body.length;
    response.writeHead(200, headers);
    response.end(body);
    sent.set(name, (sent.get(name) || 0) + body.length);
  });
  return new Promise((resolve, reject) => {
    server.on('error', reject);
    server.listen(port, '127.0.0.1', () => resolve({ server, port: server.address().port, sent }));
  });
}

module.exports = { serve };

if (require.main === module) {
  const folder = process.argv[2];
  const port = Number(process.argv[3] || 8000);
  if (!folder) {
    console.error('usage: node serve.js FOLDER [PORT]');
    process.exit(2);
  }
  serve(folder, port).then(({ port: bound }) => {
    console.log(`Serving ${folder} on http://localhost:${bound}/ (Ctrl+C stops)`);
  }, (error) => {
    console.error(`Cannot serve on port ${port}: ${error.message}`);
    process.exit(1);
  });
}
