## Korvane: шаблон сообщения для форума (BBCode), video лист.
## Блоки от строки {{#имя}} до строки {{/имя}}: header, letter, letterend, row, footer.
## Метки: {{title}} {{count}} {{date}} {{letter}} {{file}} {{size}} {{resolution}}
## {{duration}} {{fps}} {{codec}}.
{{#header}}
[b]{{title}} — файлов: {{count}}[/b]

{{/header}}
{{#row}}
{{file}} | {{size}} mb | {{resolution}} | {{duration}} min | {{fps}} | {{codec}}
{{/row}}
